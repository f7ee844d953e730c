#include "collections/book_moves.h"
#include "collections/collection_operations.h"
#include "collections/library_page.h"
#include "covers/cover_thumbnail.h"
#include "editor/reader_library.h"
#include "reader/reader_layout.h"
#include "support/counting_progress.h"
#include "support/fixed_volumes.h"
#include "support/fixture_reader.h"
#include "support/killed_run.h"
#include "support/library_scenario.h"
#include "support/reader_soundness.h"
#include "support/scripted_dialogs.h"
#include "support/watched_file_operations.h"
#include "sync/editing_sync.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {
// A reader whose books each have a thumbnail of their own, but one without any.
void prepareReader(const QString &root)
{
    FixtureReader::build(root, FixtureReader::Contents::Library);
    for (const FixtureLibrary::Book &book : FixtureLibrary::books()) {
        QFile file(ReaderLayout::thumbnailFolderPath(root, QString::number(book.id)) + "main_thumbnail.jpg");
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write a thumbnail");
        file.write("cover of " + QByteArray::number(book.id));
    }
    QDir(root + "Sony_Reader/database/cache/books/3").removeRecursively();
}

// The thumbnails a book at each stored path may show: its own, or the cover made from its file.
QHash<QString, QSet<QByteArray>> acceptedThumbnails(const QString &root)
{
    QHash<QString, QSet<QByteArray>> accepted;
    for (const QVariantList &book :
         sqliteRows(ReaderLayout::databasePath(root), "select file_path, thumbnail from books")) {
        QFile file(root + book.at(1).toString());
        QSet<QByteArray> &thumbnails = accepted[book.at(0).toString()];
        if (file.open(QIODevice::ReadOnly))
            thumbnails.insert(file.readAll());
        thumbnails.insert(coverThumbnail(root + book.at(0).toString()).bytes);
    }
    return accepted;
}

// The records whose thumbnail is neither absent nor one their book may show.
QStringList wrongThumbnails(const QString &root, const QHash<QString, QSet<QByteArray>> &accepted)
{
    QStringList wrong;
    for (const QVariantList &book :
         sqliteRows(ReaderLayout::databasePath(root), "select file_path, thumbnail from books")) {
        QFile file(root + book.at(1).toString());
        if (file.open(QIODevice::ReadOnly) && !accepted.value(book.at(0).toString()).contains(file.readAll()))
            wrong << book.at(0).toString();
    }
    return wrong;
}

// The page loaded from the reader at `root`, regrouped: a collection renamed, a book moved.
void loadAndRegroup(LibraryPage &page, const QString &root)
{
    CountingProgress loading;
    installReaderLibrary(page, readReaderLibrary(root, loading));
    ScriptedDialogs dialogs;
    dialogs.inputAnswers << "Научная фантастика";
    renameCollection(page, dialogs, 0);
    dropOnCollection(page, DragSource::FileList, page.books.rowCount() - 1, 1, 1);
}

// Each thumbnail the reader has, by its book's file.
QHash<QString, QByteArray> readersThumbnails(const QString &root)
{
    QHash<QString, QByteArray> thumbnails;
    for (const QVariantList &book :
         sqliteRows(ReaderLayout::databasePath(root), "select file_path, thumbnail from books")) {
        QFile file(root + book.at(1).toString());
        if (file.open(QIODevice::ReadOnly))
            thumbnails.insert(book.at(0).toString(), file.readAll());
    }
    return thumbnails;
}

// Another volume is attached before the reader. Its folder is made once, by the test itself: a
// run that is killed cleans nothing up.
bool synchronize(LibraryPage &page, const QString &root, FileOperations &files, Progress &progress)
{
    static const QTemporaryDir otherVolume(inMemoryFolderTemplate());
    const FixedVolumes volumes({otherVolume.path() + "/", root});
    ScriptedDialogs dialogs;
    return EditingSync(page, volumes, dialogs, progress, files).run();
}
} // namespace

class TestEditingSyncInterruptions : public QObject
{
    Q_OBJECT
private slots:
    void stoppedAtEveryPointThenRunAgain_data()
    {
        QTest::addColumn<bool>("unplugged");
        QTest::newRow("killed") << false;
        QTest::newRow("unplugged") << true;
    }

    // A kill at every file operation and at every step the progress window sees, or every file
    // operation failing from one on as when the reader is unplugged: the reader holds its previous
    // library or the new one, whole, each book with its notes and its own thumbnail (the reader's
    // own never replaced) or its cover; success is reported only with the new one in place;
    // loaded again, it is written back and nothing of the stopped run stays.
    void stoppedAtEveryPointThenRunAgain()
    {
#ifndef Q_OS_UNIX
        QSKIP("a run is stopped by killing a child process, which needs fork");
#else
        QFETCH(bool, unplugged);
        QList<QVariantList> previous;
        QList<QVariantList> written;
        QHash<QString, QSet<QByteArray>> accepted;
        QHash<QString, QByteArray> own;
        int fileOperations = 0;
        int progressCalls = 0;
        {
            QTemporaryDir reader(inMemoryFolderTemplate());
            const QString root = reader.path() + "/";
            prepareReader(root);
            previous = sqliteSnapshot(ReaderLayout::databasePath(root));
            accepted = acceptedThumbnails(root);
            own = readersThumbnails(root);
            LibraryPage page(LibraryPage::Kind::Editing);
            loadAndRegroup(page, root);
            WatchedFileOperations files;
            CountingProgress progress;
            QVERIFY(synchronize(page, root, files, progress));
            written = sqliteSnapshot(ReaderLayout::databasePath(root));
            fileOperations = int(files.calls.size());
            progressCalls = progress.calls;
            QVERIFY(fileOperations > 3 && progressCalls > 20);
            QVERIFY(previous != written);
            QCOMPARE(wrongThumbnails(root, accepted), QStringList());
        }
        // The thumbnails the reader had are still there, each with its book.
        const auto ownKept = [&own](const QString &root) {
            const QHash<QString, QByteArray> now = readersThumbnails(root);
            for (auto thumbnail = own.cbegin(); thumbnail != own.cend(); ++thumbnail)
                if (now.value(thumbnail.key()) != thumbnail.value())
                    return false;
            return true;
        };

        const int points = unplugged ? fileOperations : fileOperations + progressCalls;
        for (int point = 0; point < points; ++point) {
            const QString where = point < fileOperations ? QString("before file operation %1").arg(point)
                                                         : QString("at progress call %1").arg(point - fileOperations);
            QTemporaryDir reader(inMemoryFolderTemplate());
            const QString root = reader.path() + "/";
            prepareReader(root);
            LibraryPage page(LibraryPage::Kind::Editing);
            loadAndRegroup(page, root);

            if (unplugged) {
                WatchedFileOperations files;
                files.before = [point](int index, const QString &) { return index < point; };
                CountingProgress progress;
                if (synchronize(page, root, files, progress))
                    QVERIFY2(sqliteSnapshot(ReaderLayout::databasePath(root)) == written, qPrintable(where));
            } else {
                QVERIFY2(killedAt(point, fileOperations,
                                  [&](FileOperations &files, Progress &progress) {
                                      synchronize(page, root, files, progress);
                                  }),
                         qPrintable(where));
            }
            const QList<QVariantList> after = sqliteSnapshot(ReaderLayout::databasePath(root));
            QVERIFY2(after == previous || after == written, qPrintable(where));
            QVERIFY2(wrongThumbnails(root, accepted).isEmpty(),
                     qPrintable(where + ": " + wrongThumbnails(root, accepted).join("; ")));
            QVERIFY2(ownKept(root), qPrintable(where));

            LibraryPage again(LibraryPage::Kind::Editing);
            CountingProgress loading;
            installReaderLibrary(again, readReaderLibrary(root, loading));
            FileOperations files;
            CountingProgress progress;
            QVERIFY2(synchronize(again, root, files, progress), qPrintable(where));
            QVERIFY2(wrongThumbnails(root, accepted).isEmpty(), qPrintable(where + ", then run again"));
            QVERIFY2(ownKept(root), qPrintable(where + ", then run again"));
            QVERIFY2(leftovers(root).isEmpty(), qPrintable(where + ": " + leftovers(root).join("; ")));
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestEditingSyncInterruptions)
#include "test_editing_sync_interruptions.moc"
