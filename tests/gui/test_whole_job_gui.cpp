#include "app/library_page_widget.h"
#include "app/main_window.h"
#include "support/fixed_clock.h"
#include "support/fixture_reader.h"
#include "support/interrupting_progress.h"
#include "support/isolated_settings.h"
#include "support/own_reader_volumes.h"
#include "support/recording_file_opener.h"
#include "support/scratch_volume.h"
#include "support/scripted_dialogs.h"
#include "test_paths.h"

#include <QAbstractButton>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Sample books placed below the folder "Библиотека", as a user's library might hold them.
const QList<QPair<QString, QString>> library{
    {"fb2/example.fb2", "Толстой/example.fb2"},
    {"fb2/image.fb2", "Толстой/Война/image.fb2"},
    {"fb2/MiniHelp.desktop.ru.koi8-r.fb2", "help.fb2"},
    {"txt/Зимнее утро.txt", "Пушкин/Зимнее утро.txt"},
    {"pdf/project-history.en.pdf", "Документы/history.pdf"},
    {"epub/wasteland.epub", "Документы/wasteland.epub"},
};
} // namespace

// The main job from end to end through the main window: a folder added with the folder
// picker, collections made automatically, the library synchronised to a reader on a real
// volume that the system's own list of volumes reports.
class TestWholeJobGui : public QObject
{
    Q_OBJECT
private slots:
    void folderToCollectionsToReader()
    {
        ScratchVolume volume(64 * 1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason() + "; run the tests as root to cover a real volume"));
        const QString root = QDir(volume.path()).canonicalPath() + "/";
        FixtureReader::build(root, FixtureReader::Contents::Library);

        QTemporaryDir sources;
        const QString folder = sources.filePath("Библиотека");
        for (const auto &[sample, placed] : library) {
            QVERIFY(QDir().mkpath(QFileInfo(folder + "/" + placed).path()));
            QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/" + sample, folder + "/" + placed));
        }

        const IsolatedSettings settings;
        ScriptedDialogs dialogs;
        FixedClock clock{QDateTime(QDate(2024, 5, 1), QTime(12, 0))};
        InterruptingProgress progress;
        const OwnReaderVolumes volumes(root);
        RecordingFileOpener fileOpener;
        MainWindow window(dialogs, clock, progress, volumes, fileOpener);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        LibraryPageWidget *page = window.creatorpage();

        dialogs.folderAnswers.enqueue(QDir::toNativeSeparators(folder));
        QTest::mouseClick(page->button("AddDirButton"), Qt::LeftButton);
        QCOMPARE(window.creation().books.rowCount(), library.size());
        QTest::mouseClick(page->button("autocollectionbutton"), Qt::LeftButton);
        QCOMPARE(window.creation().collections.rowCount(), 5);
        QVERIFY(page->button("Synchronizebutton")->isVisible());
        QTest::mouseClick(page->button("Synchronizebutton"), Qt::LeftButton);

        QCOMPARE(dialogs.shown.first().kind, QString("browseForFolder"));
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY2(dialogs.messages().first().startsWith("Синхронизация успешно завершена!"),
                 qPrintable(dialogs.messages().first()));
        QVERIFY(!window.isVisible());
        QCOMPARE(window.deviceRoot(), root);

        const QString database = root + "Sony_Reader/database/books.db";
        QCOMPARE(sqliteRows(database, "select title from collection order by _id"),
                 (QList<QVariantList>{{"Библиотека"},
                                      {"Библиотека_Документы"},
                                      {"Библиотека_Пушкин"},
                                      {"Библиотека_Толстой"},
                                      {"Библиотека_Толстой_Война"}}));
        QCOMPARE(sqliteRows(database, "select c.title, b.file_path from collections m "
                                      "join collection c on c._id = m.collection_id "
                                      "join books b on b._id = m.content_id order by b.file_path"),
                 (QList<QVariantList>{
                     {"Библиотека", "Sony_Reader/media/books/Библиотека/help.fb2"},
                     {"Библиотека_Документы", "Sony_Reader/media/books/Библиотека/Документы/history.pdf"},
                     {"Библиотека_Документы", "Sony_Reader/media/books/Библиотека/Документы/wasteland.epub"},
                     {"Библиотека_Пушкин", "Sony_Reader/media/books/Библиотека/Пушкин/Зимнее утро.txt"},
                     {"Библиотека_Толстой", "Sony_Reader/media/books/Библиотека/Толстой/example.fb2"},
                     {"Библиотека_Толстой_Война", "Sony_Reader/media/books/Библиотека/Толстой/Война/image.fb2"},
                 }));
        QCOMPARE(sqliteValue(database, "select count(*) from books"), QVariant(library.size()));
        // The KOI8-R book reaches the reader with its title readable.
        QCOMPARE(sqliteValue(database, "select title from books where file_path like '%help.fb2'"),
                 QVariant("О программе FBReader"));
        for (const auto &[sample, placed] : library) {
            QFile copy(root + "Sony_Reader/media/books/Библиотека/" + placed);
            QVERIFY2(copy.exists(), qPrintable(placed));
            QCOMPARE(copy.size(), QFileInfo(TESSALY_SAMPLES_DIR "/" + sample).size());
        }
    }
};

QTEST_MAIN(TestWholeJobGui)
#include "test_whole_job_gui.moc"
