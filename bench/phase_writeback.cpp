#include "bench/bench.h"
#include "bench/firmware_reader.h"
#include "bench/null_progress.h"
#include "collections/library_page.h"
#include "sync/page_rebuild.h"
#include "reader/library_schema.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_connection.h"
#include "editor/reader_library.h"
#include "sync/write_back_plan.h"

#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

namespace {
constexpr int repeats = 5;
constexpr const char *phaseName = "writeback";

struct CloseDatabase
{
    void operator()(sqlite3 *database) const { sqlite3_close_v2(database); }
};

void execute(sqlite3 *database, const std::string &sql)
{
    if (sqlite3_exec(database, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(database));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failPhase(phaseName, "cannot read " + path);
    return file.readAll();
}

void placeFile(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        failPhase(phaseName, "cannot write " + path);
}

// The floor for the same work: the loaded copy attached, every record copied whole into the
// firmware's tables made again, books and collections numbered from 1 in their order, each
// book with its new thumbnail path and each membership with its order, a repeated one once,
// in one transaction.
void plainWriteBack(const QString &databasePath, const QString &loadedPath)
{
    sqlite3 *handle = nullptr;
    sqlite3_open_v2(databasePath.toUtf8().constData(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    const std::unique_ptr<sqlite3, CloseDatabase> database(handle);
    // The settings every connection of Tessaly's has.
    execute(handle, "PRAGMA SYNCHRONOUS=NORMAL");
    execute(handle, "PRAGMA temp_store=MEMORY");
    execute(handle, "PRAGMA journal_mode=DELETE");
    execute(handle, "ATTACH '" + loadedPath.toStdString() + "' AS loaded");
    execute(handle, "BEGIN");
    // Old id -> new id, looked up by key.
    execute(handle, "CREATE TEMP TABLE book_ids (old INTEGER PRIMARY KEY, new INTEGER)");
    execute(handle, "INSERT INTO book_ids SELECT _id, row_number() OVER (ORDER BY rowid) FROM loaded.books");
    execute(handle, "CREATE TEMP TABLE collection_ids (old INTEGER PRIMARY KEY, new INTEGER)");
    execute(handle, "INSERT INTO collection_ids SELECT _id, row_number() OVER (ORDER BY rowid) FROM loaded.collection");
    for (const LibrarySchema::ReplacedTable &table : LibrarySchema::ReplacedTables) {
        execute(handle, "DROP TABLE main." + std::string(table.name.data(), table.name.size()));
        execute(handle, std::string(table.createStatement.data(), table.createStatement.size()));
    }
    execute(handle, "INSERT INTO main.books SELECT i.new, title, author, kana_title, kana_author, title_key, "
                    "author_key, source_id, added_date, modified_date, reading_time, purchased_date, file_path, "
                    "file_name, file_size, 'Sony_Reader/database/cache/books/' || i.new || "
                    "'/thumbnail/main_thumbnail.jpg', mime_type, corrupted, expiration_date, prevent_delete, "
                    "sony_id, periodical_name, kana_periodical_name, periodical_name_key, publication_date, "
                    "conforms_to, description, logos FROM loaded.books b JOIN book_ids i ON i.old = b._id "
                    "ORDER BY b.rowid");
    execute(handle, "INSERT INTO main.collection SELECT i.new, title, kana_title, source_id, uuid FROM "
                    "loaded.collection c JOIN collection_ids i ON i.old = c._id ORDER BY c.rowid");
    execute(handle, "INSERT INTO main.collections (collection_id, content_id, added_order) SELECT c.new, b.new, "
                    "m.added_order FROM loaded.collections m JOIN collection_ids c ON c.old = m.collection_id "
                    "JOIN book_ids b ON b.old = m.content_id WHERE m.rowid IN (SELECT min(rowid) FROM "
                    "loaded.collections GROUP BY collection_id, content_id) ORDER BY m.rowid");
    execute(handle, "INSERT INTO main.preference (content_id, tone_curve_type, contrast, brightness, show_notes, "
                    "binding_direction) VALUES ('1', 'Original', '0', '0', '1', 'auto')");
    execute(handle, "DELETE FROM main.sqlite_sequence");
    execute(handle, "INSERT INTO main.sqlite_sequence (name, seq) SELECT 'books', count(*) FROM main.books UNION "
                    "ALL SELECT 'collection', count(*) FROM main.collection UNION ALL SELECT 'collections', "
                    "count(*) FROM main.books");
    execute(handle, std::string(LibrarySchema::CollectionIndex.data(), LibrarySchema::CollectionIndex.size()));
    execute(handle, "COMMIT");
}

double medianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Every book, and every (collection, book) pair of the reader once.
void requireWholeLibrary(const QString &databasePath, int n, qint64 pairs)
{
    SqliteConnection database;
    database.open(databasePath, SqliteConnection::OpenMode::ReadOnly);
    qint64 books = 0;
    qint64 memberships = 0;
    database.forEachRow("select (select count(*) from books), (select count(*) from collections)",
                        [&](const SqliteRow &row) {
                            books = row.integer(0);
                            memberships = row.integer(1);
                        });
    if (books != n || memberships != pairs)
        failPhase(phaseName, QString("wrote %1 books and %2 memberships").arg(books).arg(memberships));
}

// A reader of n books, 500 collections and about n + n/5 memberships, loaded into the editing page
// and written back unedited: the check that the reader holds the loaded books, the plan and
// the rebuild, without thumbnails. Loading is not counted.
void runWriteBack(int n)
{
    QTemporaryDir folder;
    const QString root = folder.path() + "/";
    writeFirmwareReader(root, n);
    const QString databasePath = ReaderLayout::databasePath(root);
    const QByteArray original = fileBytes(databasePath);
    const QString loadedPath = folder.path() + "/loaded.db";
    placeFile(loadedPath, original);
    qint64 pairs = 0;
    {
        SqliteConnection loaded;
        loaded.open(loadedPath, SqliteConnection::OpenMode::ReadOnly);
        loaded.forEachRow("select count(*) from (select distinct collection_id, content_id from collections)",
                          [&](const SqliteRow &row) { pairs = row.integer(0); });
    }

    std::vector<double> tessaly;
    std::vector<double> baseline;
    for (int run = 0; run < repeats; ++run) {
        placeFile(databasePath, original);
        NullProgress progress;
        LibraryPage page(LibraryPage::Kind::Editing);
        installReaderLibrary(page, readReaderLibrary(root, progress));
        tessaly.push_back(secondsFor([&] {
            SqliteConnection database;
            database.open(databasePath, {.mode = SqliteConnection::OpenMode::ReadWrite});
            database.query("PRAGMA journal_mode=DELETE");
            if (!page.reader.holdsSameBooks(database))
                failPhase(phaseName, "the reader does not hold the loaded books");
            const WriteBackPlan plan = planWriteBack(page.reader, page.books.rows(), page.collections.rows(), root);
            rebuildLibrary(database, root, page.books, page.collections, {}, &plan.writeBack);
        }));
        requireWholeLibrary(databasePath, n, pairs);

        placeFile(databasePath, original);
        baseline.push_back(secondsFor([&] { plainWriteBack(databasePath, loadedPath); }));
        requireWholeLibrary(databasePath, n, pairs);
    }
    reportPhase(phaseName, n, medianOf(tessaly), medianOf(baseline));
}

const BenchPhase phase(phaseName, {50000}, runWriteBack);
} // namespace
