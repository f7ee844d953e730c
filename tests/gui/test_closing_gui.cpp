#include "app/library_page_widget.h"
#include "app/progress_window.h"
#include "support/fixture_reader.h"
#include "support/window_under_test.h"
#include "test_paths.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// A folder of `count` books copied from one sample.
QString bookFolder(const QTemporaryDir &folder, int count)
{
    const QString books = folder.filePath("Книги");
    QDir().mkpath(books);
    for (int i = 0; i < count; ++i)
        QFile::copy(TESSALY_SAMPLES_DIR "/fb2/minimal.fb2", books + QString("/%1.fb2").arg(i));
    return QDir::toNativeSeparators(books);
}
} // namespace

class TestClosingGui : public QObject
{
    Q_OBJECT
private slots:
    // The close stops the intake at its next turn of the event loop: no further books are
    // read and nothing more is asked or said.
    void closingStopsAnIntake()
    {
        WindowUnderTest window;
        QTemporaryDir folder;
        window.dialogs.folderAnswers.enqueue(bookFolder(folder, 5));
        window.mainWindow.show();
        int turns = 0;
        window.progress.onEvents = [&] {
            ++turns;
            window.mainWindow.close();
        };

        QTest::mouseClick(window.mainWindow.creatorpage()->button("AddDirButton"), Qt::LeftButton);

        QCOMPARE(turns, 1);
        QVERIFY(!window.mainWindow.isVisible());
        QVERIFY(!window.progress.visible);
        QVERIFY(!window.mainWindow.longOperationRunning());
        QCOMPARE(window.progress.calls.count("events"), 1);
        QCOMPARE(window.dialogs.shown.size(), 1); // the folder picker only
    }

    // With the real progress window up, closing the main window ends the event loop, so the
    // process does not live on without a window.
    void closingDuringAnIntakeEndsTheApplication()
    {
        WindowWithProgress<ProgressWindow> window;
        ScriptedDialogs &dialogs = window.dialogs;
        ProgressWindow &progress = window.progress;
        MainWindow &mainWindow = window.mainWindow;
        QTemporaryDir folder;
        dialogs.folderAnswers.enqueue(bookFolder(folder, 50));
        mainWindow.show();

        bool progressShownAtClose = false;
        QTimer::singleShot(0, &mainWindow, [&] {
            // Delivered at the intake's first turn of the event loop.
            QMetaObject::invokeMethod(
                &mainWindow,
                [&] {
                    progressShownAtClose = progress.isVisible();
                    mainWindow.close();
                },
                Qt::QueuedConnection);
            QTest::mouseClick(mainWindow.creatorpage()->button("AddDirButton"), Qt::LeftButton);
        });
        QTimer::singleShot(30000, qApp, [] { QCoreApplication::exit(1); });

        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(progressShownAtClose);
        QVERIFY(!mainWindow.isVisible());
        QVERIFY(!progress.isVisible());
    }

    // The close asks only when work would be lost, in the mode switch's manner; No keeps the window.
    void closingAsksOnlyWhenWorkWouldBeLost_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("asked");
        QTest::newRow("empty creation page") << "empty" << false;
        QTest::newRow("books on the creation page") << "books" << true;
        QTest::newRow("editing page as loaded") << "loaded" << false;
        QTest::newRow("editing page sorted only") << "sorted" << false;
        QTest::newRow("editing page with a renamed collection") << "renamed" << true;
    }

    void closingAsksOnlyWhenWorkWouldBeLost()
    {
        QFETCH(QString, state);
        QFETCH(bool, asked);
        const FixtureReader reader;
        QTemporaryDir firstVolume;
        WindowUnderTest window;
        window.volumes.setRoots({firstVolume.path() + "/", reader.root()});
        MainWindow &mainWindow = window.mainWindow;
        mainWindow.show();
        if (state == "books") {
            QTemporaryDir folder;
            window.dialogs.folderAnswers.enqueue(bookFolder(folder, 1));
            mainWindow.addBookFolder();
        } else if (state != "empty") {
            mainWindow.pager()->setCurrentIndex(1);
            QCOMPARE(mainWindow.editing().books.rowCount(), 4);
            if (state == "sorted")
                mainWindow.editing().books.sort(TitleColumn, Qt::DescendingOrder);
            if (state == "renamed") {
                window.dialogs.inputAnswers << "Другое";
                mainWindow.renameCollectionOn(*mainWindow.editorpage(), 0);
            }
        }
        window.dialogs.shown.clear();

        window.dialogs.confirmAnswers << false;
        mainWindow.close();
        QCOMPARE(mainWindow.isVisible(), asked);
        QCOMPARE(window.dialogs.shown.size(), asked ? 1 : 0);
        if (!asked)
            return;
        QCOMPARE(window.dialogs.shown.first().kind, QString("confirm"));
        QCOMPARE(window.dialogs.shown.first().caption, QString("Подтверждение выхода"));
        QCOMPARE(window.dialogs.shown.first().text,
                 QString("При выходе из программы все внесенные изменения \r\nбудут отменены! Продолжить?"));
        window.dialogs.confirmAnswers << true;
        mainWindow.close();
        QVERIFY(!mainWindow.isVisible());
    }
};

QTEST_MAIN(TestClosingGui)
#include "test_closing_gui.moc"
