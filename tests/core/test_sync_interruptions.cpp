#include "collections/library_page.h"
#include "core/progress.h"
#include "device/creation_sync.h"
#include "device/library_schema.h"
#include "device/reader_layout.h"
#include "support/fixed_volumes.h"
#include "support/fixture_reader.h"
#include "support/library_scenario.h"
#include "support/reader_soundness.h"
#include "support/scripted_dialogs.h"
#include "support/watched_file_operations.h"

#include <QDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {
// A progress window that counts its calls and can end the process at one of them.
class CountingProgress : public Progress
{
public:
    int calls = 0;
    int killAt = -1;

    void setMaximum(Bar, int) override { count(); }
    void setPosition(Bar, int) override { count(); }
    void setCaption(Bar, const QString &) override { count(); }
    void show() override { count(); }
    void hide() override { count(); }
    void repaint(Repaint) override { count(); }
    void processEvents() override { count(); }

private:
    void count()
    {
        if (calls++ == killAt)
            killThisProcess();
    }

public:
    static void killThisProcess()
    {
#ifdef Q_OS_UNIX
        ::kill(::getpid(), SIGKILL);
#endif
    }
};

QVector<BookRow> inCollections(const LibraryPage &page)
{
    QVector<BookRow> chosen;
    for (const BookRow &book : page.books.rows())
        if (!book.collection.isEmpty())
            chosen << book;
    return chosen;
}

// One synchronisation to stop at every point: the reader it starts from, the user's books and
// choices, and where it moves files of the reader.
struct Interruption
{
    LibraryScenario books;
    QTemporaryDir start{inMemoryFolderTemplate()};
    QHash<QString, QString> movedOnReader; // stored file_path -> stored file_path

    QString startRoot() const { return start.path() + QLatin1Char('/'); }

    // Runs the synchronisation on the reader at `root` to its end.
    bool run(LibraryPage &page, const QString &root, FileOperations &files, Progress &progress) const
    {
        QTemporaryDir firstVolume;
        FixedVolumes volumes;
        volumes.setRoots({firstVolume.path() + QLatin1Char('/'), root});
        ScriptedDialogs dialogs;
        CreationSync sync(page, volumes, dialogs, progress, files);
        qint64 totalSize = 0;
        for (const BookRow &book : page.books.rows())
            if (!book.collection.isEmpty())
                totalSize += book.file_size.toLongLong();
        return sync.run(totalSize);
    }
};

// The first synchronisation of a reader the firmware filled: books from the computer, a folder of
// the reader's own that stays where it is, and a book of the reader's that moves to a new place.
std::unique_ptr<Interruption> firstSynchronisation()
{
    auto interruption = std::make_unique<Interruption>();
    FixtureReader::build(interruption->startRoot(), FixtureReader::Contents::Library);
    interruption->books.collections = {
        {"Классика/Война и мир.fb2", "Классика"},
        {"Документы/history.pdf", "Документы"},
        {"Классика/Рыбы/test2.1.fb2", "Классика"},
        {"Документы/Зимнее утро.txt", "Документы"},
        {"wasteland.epub", "Поэзия"},
        {"Фантастика/Стругацкие/Пикник на обочине.fb2", "С устройства"},
        {"notes.txt", "С устройства"},
    };
    interruption->books.fromReader = {"Фантастика", "notes.txt"};
    interruption->movedOnReader = {{"Sony_Reader/media/books/notes.txt", "Sony_Reader/media/books/books/notes.txt"}};
    return interruption;
}

// The same reader synchronised again after the user changed a book, added two, moved one to
// another collection and took one out of every collection.
std::unique_ptr<Interruption> resynchronisation()
{
    std::unique_ptr<Interruption> interruption = firstSynchronisation();
    LibraryPage page(LibraryPage::Kind::Creation);
    interruption->books.fillPage(page, interruption->startRoot());
    FileOperations files;
    CountingProgress progress;
    if (!interruption->run(page, interruption->startRoot(), files, progress))
        return nullptr;
    LibraryScenario &books = interruption->books;
    books.change("Классика/Война и мир.fb2");
    books.place("fb2/test2.1.fb2", "Новые/Рыбы.fb2");
    books.collections.insert("Новые/Рыбы.fb2", "Классика");
    books.collections.insert("Разное/meta.fb2", "Разное");
    books.collections.insert("Документы/history.pdf", "Поэзия");
    books.collections.remove("Документы/Зимнее утро.txt");
    books.collections.remove("notes.txt");
    books.collections.insert("books/notes.txt", "С устройства");
    books.fromReader = {"Фантастика", "books/notes.txt"};
    interruption->movedOnReader.clear();
    return interruption;
}

// Each note of the reader's notes tables with the file_path of its book.
QHash<QString, QString> notesWithTheirBooks(const QString &root)
{
    const QString database = ReaderLayout::databasePath(root);
    QHash<QString, QString> notes;
    for (const QLatin1String table : LibrarySchema::NoteTables) {
        for (const QVariantList &note : sqliteRows(
                 database, QString("select n._id, b.file_path from %1 n left join books b on b._id = n.content_id "
                                   "where n.content_id is not null")
                               .arg(table)))
            notes.insert(QString("%1 %2").arg(table).arg(note.at(0).toLongLong()), note.at(1).toString());
    }
    return notes;
}
} // namespace

class TestSyncInterruptions : public QObject
{
    Q_OBJECT
private slots:
    void stoppedAtEveryPointThenRunAgain_data()
    {
        QTest::addColumn<bool>("again");
        QTest::newRow("first synchronisation") << false;
        QTest::newRow("re-synchronisation") << true;
    }

    // A kill at every file operation and at every step the progress window sees: the reader is
    // sound after each, and a synchronisation run afterwards writes the whole library with every
    // note on its book, and leaves nothing of the stopped run behind.
    void stoppedAtEveryPointThenRunAgain()
    {
#ifndef Q_OS_UNIX
        QSKIP("a run is stopped by killing a child process, which needs fork");
#else
        QFETCH(bool, again);
        const std::unique_ptr<Interruption> interruption = again ? resynchronisation() : firstSynchronisation();
        QVERIFY(interruption);
        const QHash<QString, QByteArray> sources = folderDigests(interruption->books.sourceFolder());

        // An uninterrupted run tells how many points there are.
        int fileOperations = 0;
        int progressCalls = 0;
        {
            QTemporaryDir reader(inMemoryFolderTemplate());
            copyReader(interruption->start.path(), reader.path());
            LibraryPage page(LibraryPage::Kind::Creation);
            interruption->books.fillPage(page, reader.path() + '/');
            WatchedFileOperations files;
            CountingProgress progress;
            QVERIFY(interruption->run(page, reader.path() + '/', files, progress));
            fileOperations = int(files.calls.size());
            progressCalls = progress.calls;
            QVERIFY(fileOperations > 20 && progressCalls > 20);
        }

        for (int point = 0; point < fileOperations + progressCalls; ++point) {
            const QString where = point < fileOperations ? QString("before file operation %1").arg(point)
                                                         : QString("at progress call %1").arg(point - fileOperations);
            QTemporaryDir reader(inMemoryFolderTemplate());
            const QString root = reader.path() + '/';
            copyReader(interruption->start.path(), reader.path());
            LibraryPage page(LibraryPage::Kind::Creation);
            interruption->books.fillPage(page, root);
            ReaderSoundness soundness;
            soundness.acceptReader(root);
            soundness.acceptBooks(inCollections(page));
            const QHash<QString, QString> notes = notesWithTheirBooks(root);
            QHash<QString, QByteArray> expected; // the library's files and their bytes
            for (const BookRow &book : inCollections(page))
                expected.insert(ReaderLayout::storedBookPath(book.relative_path), fileDigest(book.full_path));

            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                WatchedFileOperations files;
                files.before = [point](int index, const QString &) {
                    if (index == point)
                        CountingProgress::killThisProcess();
                    return true;
                };
                CountingProgress progress;
                progress.killAt = point - fileOperations;
                interruption->run(page, root, files, progress);
                ::_exit(0);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, qPrintable(where));
            const QStringList faults = soundness.faults(root);
            QVERIFY2(faults.isEmpty(), qPrintable(where + ": " + faults.join("; ")));
            QVERIFY2(folderDigests(interruption->books.sourceFolder()) == sources, qPrintable(where));

            // The user's list names each book where it is: a run stopped after its commit has
            // moved the books it moved within the reader for good.
            page.books.updateRows([&](BookRow &book) {
                const QString movedTo =
                    interruption->movedOnReader.value(ReaderLayout::storedPathOf(root, book.full_path));
                if (movedTo.isEmpty() || sqliteRows(ReaderLayout::databasePath(root),
                                                    "select 1 from books where file_path = '" + movedTo + "'")
                                             .isEmpty())
                    return false;
                book.full_path = ReaderLayout::onDevice(root, movedTo);
                return true;
            });
            FileOperations files;
            CountingProgress progress;
            QVERIFY2(interruption->run(page, root, files, progress), qPrintable(where));
            const QStringList faultsAfter = soundness.faults(root);
            QVERIFY2(faultsAfter.isEmpty(), qPrintable(where + ", then run again: " + faultsAfter.join("; ")));
            QHash<QString, QByteArray> written;
            QHash<QString, qint64> idOf;
            for (const QVariantList &record :
                 sqliteRows(ReaderLayout::databasePath(root), "select _id, file_path from books")) {
                written.insert(record.at(1).toString(), fileDigest(root + record.at(1).toString()));
                idOf.insert(record.at(1).toString(), record.at(0).toLongLong());
            }
            QVERIFY2(written == expected, qPrintable(where));
            const QHash<QString, QString> notesAfter = notesWithTheirBooks(root);
            for (auto note = notes.cbegin(); note != notes.cend(); ++note) {
                const QString book = interruption->movedOnReader.value(note.value(), note.value());
                QVERIFY2(notesAfter.value(note.key()) == (idOf.contains(book) ? book : QString()),
                         qPrintable(where + ": " + note.key()));
            }
            QCOMPARE(QDir(root + "Sony_Reader").entryList({"tessaly-*"}, QDir::AllEntries), QStringList());
            QVERIFY(!QFileInfo::exists(ReaderLayout::onDevice(root, ReaderLayout::StagedThumbnailsFolder)));
            QVERIFY(!QFileInfo::exists(ReaderLayout::databasePath(root) + "-journal"));
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestSyncInterruptions)
#include "test_sync_interruptions.moc"
