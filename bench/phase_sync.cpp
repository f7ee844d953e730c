#include "bench/bench.h"
#include "bench/null_progress.h"
#include "bench/plain_copy.h"
#include "bench/sync_library.h"
#include "collections/library_page.h"
#include "collections/statistics.h"
#include "core/dialogs.h"
#include "core/file_operations.h"
#include "covers/cover_thumbnail.h"
#include "reader/volume_list.h"
#include "sync/creation_sync.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {
constexpr int Repeats = 3;

// Every question answered Yes; the last message kept, to tell how the run ended.
class YesDialogs : public Dialogs
{
public:
    QString lastMessage;
    bool confirm(const QString &, const QString &) override { return true; }
    QString inputBox(const QString &, const QString &, const QString &defaultText) override { return defaultText; }
    void message(const QString &text) override { lastMessage = text; }
    QString openFile(const QString &) override { return {}; }
    QString browseForFolder(const QString &) override { return {}; }
    int chooseItem(const QString &, const QString &, const QStringList &) override { return -1; }
};

class ReaderVolumes : public VolumeList
{
public:
    explicit ReaderVolumes(QString reader) : m_reader(std::move(reader)) {}
    QStringList roots() const override { return {QStringLiteral("/"), m_reader}; }
    QString label(const QString &) const override { return {}; }

private:
    QString m_reader;
};

// The real file operations, counting the bytes they write.
class CountingFileOperations : public FileOperations
{
public:
    int copies = 0;
    qint64 bytesCopied = 0;
    qint64 bytesWritten = 0;
    bool copyFile(const QString &source, const QString &destination) override
    {
        if (!FileOperations::copyFile(source, destination))
            return false;
        ++copies;
        bytesCopied += QFileInfo(destination).size();
        return true;
    }
    bool writeFile(const QString &path, const QByteArray &bytes) override
    {
        if (!FileOperations::writeFile(path, bytes))
            return false;
        bytesWritten += bytes.size();
        return true;
    }
};

// The folders of a reader at `root`.
struct ReaderFolders
{
    explicit ReaderFolders(const QString &root)
        : books(root + QStringLiteral("Sony_Reader/media/books")),
          thumbnails(root + QStringLiteral("Sony_Reader/database/cache/books")),
          savedThumbnails(root + QStringLiteral("Sony_Reader/database/cache/bench-previous")),
          database(root + QStringLiteral("Sony_Reader/database/books.db"))
    {}
    QString books;
    QString thumbnails;
    QString savedThumbnails;
    QString database;
};

// The previous library as a synchronisation finds it: its thumbnails, and book files whose times
// differ from the sources', so that none of them is kept.
void restorePreviousLibrary(const ReaderFolders &reader)
{
    clearPlainly(reader.thumbnails);
    copyPlainly(reader.savedThumbnails, reader.thumbnails);
    QDirIterator files(reader.books, QDir::Files, QDirIterator::Subdirectories);
    const QDateTime past(QDate(2019, 1, 1), QTime(12, 0));
    while (files.hasNext()) {
        QFile file(files.next());
        file.open(QIODevice::ReadWrite);
        file.setFileTime(past, QFileDevice::FileModificationTime);
    }
}

// Seconds taken by a synchronisation of `page`, or nothing when it did not succeed.
std::optional<double> synchronise(LibraryPage &page, const QString &root, FileOperations &files)
{
    NullProgress progress;
    YesDialogs dialogs;
    const ReaderVolumes volumes(root);
    const qint64 totalSize = updateStatistics(page).total_size;
    CreationSync sync(page, volumes, dialogs, progress, files);
    bool succeeded = false;
    const double seconds = secondsFor([&] { succeeded = sync.run(totalSize); });
    if (succeeded)
        return seconds;
    std::fprintf(stderr, "sync: the run did not succeed: %s\n", qPrintable(dialogs.lastMessage));
    return std::nullopt;
}

std::optional<double> synchroniseLibrary(const SyncLibrary &library, bool changed, const QString &root,
                                         FileOperations &files)
{
    LibraryPage page(LibraryPage::Kind::Creation);
    library.fillPage(page, changed);
    return synchronise(page, root, files);
}

// What the re-synchronisation may write: the new books, their thumbnails and the database.
qint64 bytesOfNewBooksAndThumbnails(const SyncLibrary &library)
{
    qint64 bytes = 0;
    QDirIterator books(library.newBooks(), QDir::Files, QDirIterator::Subdirectories);
    while (books.hasNext()) {
        const QString book = books.next();
        bytes += QFileInfo(book).size() + coverThumbnail(book).bytes.size();
    }
    return bytes;
}

// Runs both measurements; false when a run did not complete.
bool measure(int n)
{
    const SyncLibrary library(n);
    const ReaderVolume volume;
    if (!volume.makeReader()) {
        std::fprintf(stderr, "sync: cannot make the reader: the firmware's schema is not in " TESSALY_SHARED_DIR "\n");
        return false;
    }
    const QString root = volume.root();
    const ReaderFolders reader(root);
    std::fprintf(stderr, "sync: %d books, %.2f GB, reader on %s\n", n, double(library.bytes()) / 1e9, volume.kind());

    // The previous library: a first synchronisation leaves the books, their thumbnails and books.db.
    FileOperations files;
    if (!synchroniseLibrary(library, false, root, files))
        return false;
    copyPlainly(reader.thumbnails, reader.savedThumbnails);

    // Both sides clear the previous library and copy the same books to the same place.
    double baseline = 1e9;
    double full = 1e9;
    for (int run = 0; run < Repeats; ++run) {
        restorePreviousLibrary(reader);
        bool copied = false;
        baseline = std::min(baseline, secondsFor([&] {
                                clearPlainly(reader.books);
                                clearPlainly(reader.thumbnails);
                                copied = copyPlainly(library.books(), reader.books + QStringLiteral("/Книги"));
                            }));
        if (!copied) {
            std::fprintf(stderr, "sync: the plain copy failed\n");
            return false;
        }
        restorePreviousLibrary(reader);
        const std::optional<double> seconds = synchroniseLibrary(library, false, root, files);
        if (!seconds)
            return false;
        full = std::min(full, *seconds);
    }
    reportPhase("sync", n, full, baseline);

    // The same library again with 100 books added and 100 moved to another collection.
    double again = 1e9;
    CountingFileOperations counted;
    for (int run = 0; run < Repeats; ++run) {
        if (!synchroniseLibrary(library, false, root, files))
            return false;
        counted = CountingFileOperations();
        const std::optional<double> seconds = synchroniseLibrary(library, true, root, counted);
        if (!seconds)
            return false;
        again = std::min(again, *seconds);
    }
    reportPhase("resync", n, again, full);
    const qint64 allowed = bytesOfNewBooksAndThumbnails(library);
    const qint64 database = QFileInfo(reader.database).size();
    std::printf("resync written: %d copies, %lld bytes of books and %lld of thumbnails; new books with their "
                "thumbnails %lld bytes, books.db %lld bytes\n",
                counted.copies, qlonglong(counted.bytesCopied), qlonglong(counted.bytesWritten), qlonglong(allowed),
                qlonglong(database));
    std::fflush(stdout);
    if (counted.bytesCopied + counted.bytesWritten > allowed + database) {
        std::fprintf(stderr, "resync: wrote more than the new books, their thumbnails and the database\n");
        return false;
    }
    return true;
}

// A synchronisation of n books beside the plainest copy of the same files to the same place, the
// clearing of the previous library timed on both sides; then a re-synchronisation after a change.
const BenchPhase syncPhase("sync", {2000}, [](int n) {
    // Reported once everything above is cleaned up: the volume unmounted, the books deleted.
    if (!measure(n))
        std::exit(EXIT_FAILURE);
});
} // namespace
