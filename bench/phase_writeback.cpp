#include "bench/bench.h"
#include "bench/bench_seams.h"
#include "bench/firmware_reader.h"
#include "bench/null_progress.h"
#include "collections/library_page.h"
#include "core/file_operations.h"
#include "covers/cover_thumbnail.h"
#include "editor/reader_library.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_connection.h"
#include "sync/editing_sync.h"
#include "sync/sync_messages.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr int repeats = 5;
constexpr const char *phaseName = "writeback";

// What the page changes: a book in ten renamed, one in fifty taken out of every collection (its
// memberships go, its record and thumbnail stay), and one in a hundred has no thumbnail on the
// reader beforehand (it gets the placeholder, its book file being elsewhere). Ids run from 1 in
// row order.
bool renamed(int id)
{
    return id % 10 == 3;
}
bool uncollected(int id)
{
    return id % 50 == 7;
}
bool lacksThumbnail(int id)
{
    return id % 100 == 11;
}

QString renamedTitle(int id)
{
    return QStringLiteral("Книга номер %1, издание второе").arg(id);
}

struct CloseDatabase
{
    void operator()(sqlite3 *database) const { sqlite3_close_v2(database); }
};

void execute(sqlite3 *database, const char *sql)
{
    if (sqlite3_exec(database, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(database));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failPhase(phaseName, "cannot read " + path);
    return file.readAll();
}

void writeBytes(const std::filesystem::path &path, const QByteArray &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.constData(), bytes.size());
    if (!file.flush())
        failPhase(phaseName, QString::fromStdString("cannot write " + path.string()));
}

std::filesystem::path thumbnailFolder(const QString &root, int id)
{
    return ReaderLayout::thumbnailFolderPath(root, QString::number(id)).toStdString();
}

// The folder the reader makes for a book together with its thumbnail.
std::filesystem::path bookFolder(const QString &root, int id)
{
    return (ReaderLayout::thumbnailsFolderPath(root) + QString::number(id)).toStdString();
}

// Every book's thumbnail as the reader made it.
void writeOwnThumbnails(const QString &root, int n, const QByteArray &ownThumbnail)
{
    for (int id = 1; id <= n; ++id) {
        const std::filesystem::path folder = thumbnailFolder(root, id);
        std::filesystem::create_directories(folder);
        writeBytes(folder / "main_thumbnail.jpg", ownThumbnail);
    }
}

// The reader before each run: books.db as the firmware left it, and for the books that lack a
// thumbnail not even their folder, as on a reader that never made one; neither side touches the others.
void resetReader(const QString &root, int n, const QByteArray &database)
{
    writeBytes(ReaderLayout::databasePath(root).toStdString(), database);
    for (int id = 1; id <= n; ++id)
        if (lacksThumbnail(id))
            std::filesystem::remove_all(bookFolder(root, id));
    ::sync();
}

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)>;

Statement prepare(sqlite3 *database, const char *sql)
{
    sqlite3_stmt *prepared = nullptr;
    if (sqlite3_prepare_v2(database, sql, -1, &prepared, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(database));
    return Statement(prepared, sqlite3_finalize);
}

// Every row of `sql` stepped through and each of its cells read as text.
void readAll(sqlite3 *database, const char *sql)
{
    const Statement statement = prepare(database, sql);
    const int columns = sqlite3_column_count(statement.get());
    while (sqlite3_step(statement.get()) == SQLITE_ROW)
        for (int column = 0; column < columns; ++column)
            sqlite3_column_text(statement.get(), column);
}

constexpr const char *storedBooks = "select _id, title, author, added_date, modified_date, file_name, file_size, "
                                    "mime_type, file_path, thumbnail from books";

// What a write-back that cannot take the page's word for the reader's state does besides:
// the integrity check and one read of the stored books before, one listing of the thumbnail
// folders, and one read of the committed books and memberships after.
enum class Checks { None, Safe };

// The floor for the same work, knowing what changed: in one transaction the renamed books'
// title and file_name, the memberships of the books taken out of their collections and the
// second record of a membership held twice; then
// one file operation for each thumbnail that has to change, a missing one written.
void plainWriteBack(const QString &root, int n, const QByteArray &placeholder, Checks checks = Checks::None)
{
    sqlite3 *handle = nullptr;
    sqlite3_open_v2(ReaderLayout::databasePath(root).toUtf8().constData(), &handle,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    const std::unique_ptr<sqlite3, CloseDatabase> database(handle);
    // The settings every connection of Tessaly's has.
    execute(handle, "PRAGMA SYNCHRONOUS=NORMAL");
    execute(handle, "PRAGMA temp_store=MEMORY");
    execute(handle, "BEGIN");
    if (checks == Checks::Safe) {
        readAll(handle, "PRAGMA quick_check");
        readAll(handle, storedBooks);
        const std::filesystem::directory_iterator folders(ReaderLayout::thumbnailsFolderPath(root).toStdString());
        if (std::distance(begin(folders), end(folders)) == 0)
            failPhase(phaseName, "no thumbnail folder was listed");
    }
    const auto run = [handle](sqlite3_stmt *prepared) {
        if (sqlite3_step(prepared) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(handle));
        sqlite3_reset(prepared);
    };
    const Statement rename = prepare(handle, "update books set title=?1, file_name=?1 where _id=?2");
    const Statement removeMemberships = prepare(handle, "delete from collections where content_id=?");
    for (int id = 1; id <= n; ++id) {
        if (uncollected(id)) {
            sqlite3_bind_int64(removeMemberships.get(), 1, id);
            run(removeMemberships.get());
        } else if (renamed(id)) {
            const QByteArray title = renamedTitle(id).toUtf8();
            sqlite3_bind_text(rename.get(), 1, title.constData(), int(title.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(rename.get(), 2, id);
            run(rename.get());
        }
    }
    // A membership the reader holds twice is written once.
    execute(handle, "delete from collections where _id not in (select min(_id) from collections group by "
                    "collection_id, content_id)");
    execute(handle, "COMMIT");
    for (int id = 1; id <= n; ++id) {
        if (lacksThumbnail(id)) {
            std::filesystem::create_directories(thumbnailFolder(root, id));
            writeBytes(thumbnailFolder(root, id) / "main_thumbnail.jpg", placeholder);
        }
    }
    if (checks == Checks::Safe) {
        readAll(handle, storedBooks);
        readAll(handle, "select collection_id, content_id, added_order from collections");
    }
}

// The page as loaded and then edited.
void editPage(LibraryPage &page)
{
    for (int row = 0; row < page.books.rowCount(); ++row) {
        BookRow &book = page.books.rowForQuietEdit(row);
        const int id = book.record_id.toInt();
        if (uncollected(id)) {
            book.collection.clear();
            book.other_collections.clear();
        } else if (renamed(id)) {
            book.title = renamedTitle(id);
        }
    }
}

double medianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// After either side: every book, renamed where the page renamed it, the memberships of the
// books still in collections, and for each book the thumbnail the reader had, or the placeholder.
void requireWrittenBack(const QString &root, int n, qint64 memberships, const QByteArray &ownThumbnail,
                        const QByteArray &placeholder)
{
    SqliteConnection database;
    database.open(ReaderLayout::databasePath(root), SqliteConnection::OpenMode::ReadOnly);
    qint64 books = 0;
    qint64 pairs = 0;
    qint64 titles = 0;
    database.forEachRow("select (select count(*) from books), (select count(*) from collections), "
                        "(select count(*) from books where title like '%издание второе' and title = file_name)",
                        [&](const SqliteRow &row) {
                            books = row.integer(0);
                            pairs = row.integer(1);
                            titles = row.integer(2);
                        });
    int renamedBooks = 0;
    for (int id = 1; id <= n; ++id) {
        const QString file = ReaderLayout::thumbnailFolderPath(root, QString::number(id)) + ThumbnailFileName;
        renamedBooks += renamed(id) && !uncollected(id) ? 1 : 0;
        if (QFileInfo(file).size() != (lacksThumbnail(id) ? placeholder : ownThumbnail).size())
            failPhase(phaseName, "a wrong thumbnail or none: " + file);
    }
    if (books != n || pairs != memberships || titles != renamedBooks)
        failPhase(phaseName,
                  QString("wrote %1 books, %2 memberships and %3 new titles").arg(books).arg(pairs).arg(titles));
}

// A reader of n books with their thumbnails, 500 collections and about n + n/5 memberships,
// loaded into the editing page, edited there and written back as the user waits for it (the
// synchronisation with its journal, the thumbnails and the check that everything is in place),
// beside the floor. Loading is not counted.
void runWriteBack(int n)
{
    QTemporaryDir folder;
    const QString root = folder.path() + "/";
    writeFirmwareReader(root, n);
    const QByteArray database = fileBytes(ReaderLayout::databasePath(root));
    const QByteArray ownThumbnail(3000, 'j');
    const QByteArray placeholder = placeholderCover();
    qint64 memberships = 0;
    {
        SqliteConnection reader;
        reader.open(ReaderLayout::databasePath(root), SqliteConnection::OpenMode::ReadOnly);
        reader.forEachRow("select count(*) from (select distinct collection_id, content_id from collections where "
                          "content_id % 50 <> 7)",
                          [&](const SqliteRow &row) { memberships = row.integer(0); });
    }

    writeOwnThumbnails(root, n, ownThumbnail);

    std::vector<double> tessaly;
    std::vector<double> baseline;
    std::vector<double> checkedBaseline;
    for (int run = 0; run < repeats; ++run) {
        resetReader(root, n, database);
        NullProgress progress;
        LibraryPage page(LibraryPage::Kind::Editing);
        installReaderLibrary(page, readReaderLibrary(root, progress));
        editPage(page);
        YesDialogs dialogs;
        const ReaderVolumes volumes(root);
        FileOperations files;
        bool written = false;
        tessaly.push_back(secondsFor([&] { written = EditingSync(page, volumes, dialogs, progress, files).run(); }));
        if (!written || dialogs.lastMessage != SyncMessages::success())
            failPhase(phaseName, "the write-back did not complete: " + dialogs.lastMessage);
        requireWrittenBack(root, n, memberships, ownThumbnail, placeholder);

        resetReader(root, n, database);
        baseline.push_back(secondsFor([&] { plainWriteBack(root, n, placeholder); }));
        requireWrittenBack(root, n, memberships, ownThumbnail, placeholder);

        resetReader(root, n, database);
        checkedBaseline.push_back(secondsFor([&] { plainWriteBack(root, n, placeholder, Checks::Safe); }));
        requireWrittenBack(root, n, memberships, ownThumbnail, placeholder);
    }
    reportPhase(phaseName, n, medianOf(tessaly), medianOf(baseline));
    // Beside it, how much of the difference is the checking.
    reportPhase("writeback-checked", n, medianOf(tessaly), medianOf(checkedBaseline));
}

const BenchPhase phase(phaseName, {50000}, runWriteBack);
} // namespace
