#include "editor/reader_library.h"
#include "reader/library_schema.h"
#include "reader/reader_layout.h"
#include "support/counting_progress.h"
#include "support/fixture_reader.h"
#include "support/killed_run.h"
#include "support/library_scenario.h"
#include "support/reader_soundness.h"
#include "support/repeated_sync.h"
#include "support/watched_file_operations.h"

#include <QDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {
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

// The books of the user's that lie on the reader, each with its bytes and the places it may be
// found at: where the page took it from, or where the page puts it.
struct UsersBook
{
    QByteArray digest;
    QString from;
    QString to;
};

QVector<UsersBook> usersBooksOnTheReader(const LibraryPage &page, const QString &root)
{
    QVector<UsersBook> books;
    for (const BookRow &book : inCollections(page))
        if (book.full_path.startsWith(root))
            books.append(
                {fileDigest(book.full_path), book.full_path, ReaderLayout::booksFolderPath(root) + book.relative_path});
    return books;
}

QStringList usersBooksLost(const QVector<UsersBook> &books)
{
    QStringList lost;
    for (const UsersBook &book : books)
        if (fileDigest(book.from) != book.digest && fileDigest(book.to) != book.digest)
            lost << book.from;
    return lost;
}
} // namespace

class TestSyncInterruptions : public QObject
{
    Q_OBJECT
private slots:
    void stoppedAtEveryPointThenRunAgain_data()
    {
        QTest::addColumn<bool>("again");
        QTest::addColumn<bool>("unplugged");
        QTest::newRow("first synchronisation, killed") << false << false;
        QTest::newRow("first synchronisation, unplugged") << false << true;
        QTest::newRow("re-synchronisation, killed") << true << false;
        QTest::newRow("re-synchronisation, unplugged") << true << true;
    }

    // A kill at every file operation and at every step the progress window sees, or every file
    // operation failing from one on as when the reader is unplugged: success is reported only
    // when the whole library is on the reader; once the next load has finished or undone the run,
    // the reader lists a sound library and every book of the user's is where it was or where it
    // went; a synchronisation run afterwards writes the whole library with every note on its
    // book, and leaves nothing of the stopped run behind.
    void stoppedAtEveryPointThenRunAgain()
    {
#ifndef Q_OS_UNIX
        QSKIP("a run is stopped by killing a child process, which needs fork");
#else
        QFETCH(bool, again);
        QFETCH(bool, unplugged);
        const std::unique_ptr<RepeatedSync> repeated = again ? RepeatedSync::again() : RepeatedSync::first();
        QVERIFY(repeated);
        const QHash<QString, QByteArray> sources = folderDigests(repeated->books.sourceFolder());

        // An uninterrupted run tells how many points there are.
        int fileOperations = 0;
        int progressCalls = 0;
        {
            QTemporaryDir reader(inMemoryFolderTemplate());
            const QString root = repeated->copyStart(reader);
            LibraryPage page(LibraryPage::Kind::Creation);
            repeated->books.fillPage(page, root);
            WatchedFileOperations files;
            CountingProgress progress;
            QVERIFY(repeated->run(page, root, files, progress));
            fileOperations = int(files.calls.size());
            progressCalls = progress.calls;
            QVERIFY(fileOperations > 20 && progressCalls > 20);
        }

        const int points = unplugged ? fileOperations : fileOperations + progressCalls;
        for (int point = 0; point < points; ++point) {
            const QString where = point < fileOperations ? QString("before file operation %1").arg(point)
                                                         : QString("at progress call %1").arg(point - fileOperations);
            QTemporaryDir reader(inMemoryFolderTemplate());
            const QString root = repeated->copyStart(reader);
            LibraryPage page(LibraryPage::Kind::Creation);
            repeated->books.fillPage(page, root);
            LibraryPage refilled(LibraryPage::Kind::Creation);
            repeated->books.fillPage(refilled, root);
            ReaderSoundness soundness;
            soundness.acceptReader(root);
            soundness.acceptBooks(inCollections(page));
            const QVector<UsersBook> usersBooks = usersBooksOnTheReader(page, root);
            const QHash<QString, QString> notes = notesWithTheirBooks(root);
            QHash<QString, QByteArray> expected; // the library's files and their bytes
            for (const BookRow &book : inCollections(page))
                expected.insert(ReaderLayout::storedBookPath(book.relative_path), fileDigest(book.full_path));
            const auto library = [&root] {
                QHash<QString, QByteArray> written;
                for (const QVariantList &record :
                     sqliteRows(ReaderLayout::databasePath(root), "select file_path from books"))
                    written.insert(record.at(0).toString(), fileDigest(root + record.at(0).toString()));
                return written;
            };

            if (unplugged) {
                WatchedFileOperations files;
                files.before = [point](int index, const QString &) { return index < point; };
                CountingProgress progress;
                if (repeated->run(page, root, files, progress))
                    QVERIFY2(library() == expected && soundness.faults(root).isEmpty(), qPrintable(where));
            } else {
                QVERIFY2(killedAt(point, fileOperations,
                                  [&](FileOperations &files, Progress &progress) {
                                      repeated->run(page, root, files, progress);
                                  }),
                         qPrintable(where));
            }
            // The next load, like the next run, finishes or undoes the stopped one first.
            CountingProgress loading;
            readReaderLibrary(root, loading);
            const QStringList faults = soundness.faults(root);
            QVERIFY2(faults.isEmpty(), qPrintable(where + ": " + faults.join("; ")));
            QVERIFY2(usersBooksLost(usersBooks).isEmpty(),
                     qPrintable(where + ": " + usersBooksLost(usersBooks).join("; ")));
            QVERIFY2(folderDigests(repeated->books.sourceFolder()) == sources, qPrintable(where));

            // The user's list names each book where it is: a run stopped after its commit has
            // moved the books it moved within the reader for good.
            refilled.books.updateRows([&](BookRow &book) {
                const QString movedTo = repeated->movedOnReader.value(ReaderLayout::storedPathOf(root, book.full_path));
                if (movedTo.isEmpty() || QFileInfo::exists(book.full_path))
                    return false;
                book.full_path = ReaderLayout::onDevice(root, movedTo);
                return true;
            });
            FileOperations files;
            CountingProgress progress;
            QVERIFY2(repeated->run(refilled, root, files, progress), qPrintable(where));
            const QStringList faultsAfter = soundness.faults(root);
            QVERIFY2(faultsAfter.isEmpty(), qPrintable(where + ", then run again: " + faultsAfter.join("; ")));
            QVERIFY2(library() == expected, qPrintable(where));
            QHash<QString, qint64> idOf;
            for (const QVariantList &record :
                 sqliteRows(ReaderLayout::databasePath(root), "select _id, file_path from books"))
                idOf.insert(record.at(1).toString(), record.at(0).toLongLong());
            const QHash<QString, QString> notesAfter = notesWithTheirBooks(root);
            for (auto note = notes.cbegin(); note != notes.cend(); ++note) {
                const QString book = repeated->movedOnReader.value(note.value(), note.value());
                QVERIFY2(notesAfter.value(note.key()) == (idOf.contains(book) ? book : QString()),
                         qPrintable(where + ": " + note.key()));
            }
            QVERIFY2(leftovers(root).isEmpty(), qPrintable(where + ": " + leftovers(root).join("; ")));
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestSyncInterruptions)
#include "test_sync_interruptions.moc"
