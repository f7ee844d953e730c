#include "app/library_page_widget.h"
#include "app/progress_window.h"
#include "support/window_under_test.h"
#include "test_paths.h"

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
};

QTEST_MAIN(TestClosingGui)
#include "test_closing_gui.moc"
