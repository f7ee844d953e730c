#include "app/library_page_widget.h"
#include "app/main_window.h"
#include "collections/library_page.h"
#include "support/fixed_clock.h"
#include "support/fixed_volumes.h"
#include "support/fixture_reader.h"
#include "support/interrupting_progress.h"
#include "support/isolated_settings.h"
#include "support/recording_file_opener.h"
#include "support/sync_scene.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QTest>

namespace {
const QString successText = "Синхронизация успешно завершена! \r\n"
                            "Отключите устройство и можно сразу же приступать к чтению книг.\r\n"
                            "При возникновении ошибки, перезапустите устройство.";

// The main window with a reader attached behind a dummy first volume and the folder
// "Книги" (an FB2, a PDF and a TXT) added through its folder button.
struct Window
{
    IsolatedSettings settings;
    InterruptingProgress progress;
    WatchingDialogs dialogs{progress};
    FixedClock clock{QDateTime(QDate(2024, 5, 1), QTime(12, 0))};
    QTemporaryDir firstVolume;
    FixtureReader reader;
    FixedVolumes volumes{{firstVolume.path() + "/", reader.root()}};
    RecordingFileOpener fileOpener;
    MainWindow mainWindow{dialogs, clock, progress, volumes, fileOpener};
    QTemporaryDir sources;

    Window()
    {
        const QStringList samples{"fb2/example.fb2", "pdf/project-history.en.pdf", "txt/Зимнее утро.txt"};
        QDir().mkpath(sources.path() + "/Книги");
        for (const QString &sample : samples)
            QFile::copy(samplePath(sample), sources.path() + "/Книги/" + QFileInfo(sample).fileName());
        dialogs.folderAnswers.enqueue(sources.path() + "/Книги");
        QTest::mouseClick(button("AddDirButton"), Qt::LeftButton);
        LibraryPage &page = mainWindow.creation();
        page.books.updateRows([](BookRow &book) {
            book.collection = "Все";
            return true;
        });
        page.collections.appendRow({"Все", QString::number(page.books.rowCount()), {}});
        mainWindow.refreshStatistics(*mainWindow.creatorpage());
        dialogs.shown.clear();
        progress.calls.clear();
        mainWindow.show();
    }

    QAbstractButton *button(const QString &name) const { return mainWindow.creatorpage()->button(name); }
    void synchronize() { QTest::mouseClick(button("Synchronizebutton"), Qt::LeftButton); }
};
} // namespace

class TestSynchronizeGui : public QObject
{
    Q_OBJECT
private slots:
    void successClosesTheWindow()
    {
        Window window;
        QCOMPARE(window.mainWindow.creation().books.rowCount(), 3);
        QVERIFY(window.button("Synchronizebutton")->isVisible());
        QVERIFY(window.mainWindow.isVisible());

        window.synchronize();

        QCOMPARE(window.dialogs.shown.first().caption, QString("Подтверждение синхронизации с устройством"));
        QCOMPARE(window.dialogs.messages(), QStringList{successText});
        QCOMPARE(window.mainWindow.deviceRoot(), window.reader.root());
        QCOMPARE(sqliteValue(window.reader.databasePath(), "select count(*) from books"), QVariant(3));
        QVERIFY(!window.progress.visible);
        QVERIFY(!window.mainWindow.isVisible());
        QVERIFY(!window.mainWindow.longOperationRunning());
    }

    void refusalKeepsTheWindowOpen_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("no reader attached") << "no reader";
        QTest::newRow("answer No") << "No";
        QTest::newRow("a book cannot be copied") << "copy";
    }

    void refusalKeepsTheWindowOpen()
    {
        QFETCH(QString, situation);
        Window window;
        const QVector<BookRow> books = window.mainWindow.creation().books.rows();
        if (situation == "no reader")
            window.volumes.setRoots({window.firstVolume.path() + "/"});
        if (situation == "No")
            window.dialogs.confirmAnswers.enqueue(false);
        if (situation == "copy")
            QVERIFY(QFile::remove(books.first().full_path));

        window.synchronize();

        QVERIFY(window.mainWindow.isVisible());
        QVERIFY(!window.progress.visible);
        QVERIFY(!window.mainWindow.longOperationRunning());
        QCOMPARE(window.mainWindow.creation().books.rowCount(), 3);
        if (situation == "no reader") {
            QCOMPARE(window.dialogs.messages().size(), 1);
            QVERIFY(window.dialogs.messages().first().startsWith("Не удалось подключиться к базе данных"));
            QCOMPARE(window.mainWindow.creation().books.rows(), books);
        } else if (situation == "No") {
            QVERIFY(window.dialogs.messages().isEmpty());
            QCOMPARE(window.mainWindow.creation().books.rows(), books);
        } else {
            QCOMPARE(window.dialogs.messages().size(), 1);
            QVERIFY(window.dialogs.messages().first().contains(books.first().full_path));
            QCOMPARE(sqliteValue(window.reader.databasePath(), "select count(*) from books"), QVariant(2));
        }
        // The window goes on working: the button is there for another try.
        QVERIFY(window.button("Synchronizebutton")->isVisible());
    }

    // A close while the reader is written waits for the run's end, whatever the outcome.
    void closingWaitsForTheRunToEnd_data()
    {
        QTest::addColumn<bool>("failing");
        QTest::newRow("successful run") << false;
        QTest::newRow("a book cannot be copied") << true;
    }

    void closingWaitsForTheRunToEnd()
    {
        QFETCH(bool, failing);
        Window window;
        if (failing)
            QVERIFY(QFile::remove(window.mainWindow.creation().books.rows().first().full_path));
        bool stayedOpen = false;
        window.progress.onEvents = [&] {
            window.mainWindow.close();
            stayedOpen = window.mainWindow.isVisible();
        };

        window.synchronize();

        QVERIFY(stayedOpen);
        QCOMPARE(sqliteValue(window.reader.databasePath(), "select count(*) from books"), QVariant(failing ? 2 : 3));
        QCOMPARE(window.dialogs.messages().size(), 1);
        QCOMPARE(window.dialogs.messages().first() == successText, !failing);
        QVERIFY(!window.mainWindow.isVisible());
        QVERIFY(!window.progress.visible);
    }

    // While the run turns the event loop, neither a second synchronisation nor an intake
    // nor a switch of pages starts.
    void noSecondStartWhileOneRuns()
    {
        Window window;
        bool tried = false;
        window.progress.onEvents = [&] {
            tried = true;
            QVERIFY(window.mainWindow.longOperationRunning());
            window.synchronize();
            window.dialogs.folderAnswers.enqueue(window.sources.path());
            QTest::mouseClick(window.button("AddDirButton"), Qt::LeftButton);
            QTest::mouseClick(window.button("AddFileButton"), Qt::LeftButton);
            QVERIFY(!window.mainWindow.confirmPageSwitch(1));
        };

        window.synchronize();

        QVERIFY(tried);
        QStringList kinds;
        for (const ScriptedDialogs::Shown &shown : std::as_const(window.dialogs.shown))
            kinds << shown.kind;
        QCOMPARE(kinds, (QStringList{"confirm", "message"}));
        QCOMPARE(window.dialogs.messages(), QStringList{successText});
        QCOMPARE(window.progress.calls.count("show"), 1);
        QVERIFY(!window.mainWindow.isVisible());
    }
};

QTEST_MAIN(TestSynchronizeGui)
#include "test_synchronize_gui.moc"
