#include "bench/bench.h"
#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "sync/page_rebuild.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {
constexpr int collectionCount = 200;
constexpr int repeats = 5;

struct CloseDatabase
{
    void operator()(sqlite3 *database) const { sqlite3_close_v2(database); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

struct FinalizeStatement
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

Database openDatabase(const QString &path)
{
    sqlite3 *handle = nullptr;
    sqlite3_open(path.toUtf8().constData(), &handle);
    return Database(handle);
}

void execute(sqlite3 *database, const char *sql)
{
    if (sqlite3_exec(database, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(database));
}

Statement prepare(sqlite3 *database, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(database, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(database));
    return Statement(statement);
}

void bindUtf8(sqlite3_stmt *statement, int index, const QByteArray &utf8)
{
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
}

void step(sqlite3 *database, sqlite3_stmt *statement)
{
    if (sqlite3_step(statement) != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(database));
    sqlite3_reset(statement);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

// A reader's books.db with the firmware's tables and no library yet.
QByteArray fixtureDatabase(const QString &folder)
{
    QFile schemaFile(QStringLiteral(TESSALY_SHARED_DIR "/fixtures/reader-firmware-schema.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + schemaFile.fileName().toStdString());
    const QString path = folder + "/fixture.db";
    {
        const Database database = openDatabase(path);
        execute(database.get(), schemaFile.readAll().constData());
    }
    return fileBytes(path);
}

void placeReader(const QString &root, const QByteArray &database)
{
    QDir().mkpath(root + "Sony_Reader/database");
    QFile::remove(root + "Sony_Reader/database/books.db");
    QFile file(root + "Sony_Reader/database/books.db");
    if (!file.open(QIODevice::WriteOnly) || file.write(database) != database.size())
        throw std::runtime_error("cannot write the fixture reader's books.db");
}

QVector<BookRow> syntheticBooks(int n)
{
    QVector<BookRow> books;
    books.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int collection = i % collectionCount;
        const QString relative = QString("Книги %1/Автор %2/Книга %3.fb2").arg(collection).arg(i % 1000).arg(i);
        books.append(BookRow{.full_path = "/home/user/" + relative,
                             .collection = QString("Коллекция %1").arg(collection),
                             .file_size = QString::number(100000 + qint64(i) * 37),
                             .author = QString("Автор %1").arg(i % 1000),
                             .title = i % 10 == 0 ? QString("Книга \"%1\"").arg(i) : QString("Книга %1").arg(i),
                             .root = "/home/user/Книги",
                             .added_date = QString::number(1717243200000 + i),
                             .modified_date = QString::number(1717000000000 + i),
                             .file_name = QString("Книга %1.fb2").arg(i),
                             .mime_type = "application/fb2",
                             .relative_path = relative});
    }
    return books;
}

QVector<CollectionRow> syntheticCollections()
{
    QVector<CollectionRow> collections;
    for (int c = 0; c < collectionCount; ++c)
        collections.append({QString("Коллекция %1").arg(c), QString(), {}});
    return collections;
}

// The rows as the database stores them, worked out before the clock starts: the floor
// converts nothing while it writes.
struct StoredLibrary
{
    struct Book
    {
        QByteArray title;
        QByteArray author;
        qint64 added = 0;
        qint64 modified = 0;
        QByteArray filePath;
        qint64 size = 0;
        QByteArray thumbnail;
        QByteArray mimeType;
        qint64 collection = 0;
    };
    std::vector<Book> books;
    std::vector<QByteArray> collections;
};

StoredLibrary storedLibrary(const QVector<BookRow> &books, const QVector<CollectionRow> &collections)
{
    StoredLibrary library;
    QHash<QString, qint64> collectionIds;
    for (int c = 0; c < collections.size(); ++c) {
        library.collections.push_back(collections.at(c).name.toUtf8());
        collectionIds.insert(collections.at(c).name, c + 1);
    }
    library.books.reserve(std::size_t(books.size()));
    for (int i = 0; i < books.size(); ++i) {
        const BookRow &book = books.at(i);
        QString title = book.title;
        title.replace('"', '`');
        library.books.push_back(
            {title.toUtf8(), book.author.toUtf8(), book.added_date.toLongLong(), book.modified_date.toLongLong(),
             "Sony_Reader/media/books/" + book.relative_path.toUtf8(), book.file_size.bytes(),
             QStringLiteral("Sony_Reader/database/cache/books/%1/thumbnail/main_thumbnail.jpg").arg(i + 1).toUtf8(),
             book.mime_type.toUtf8(), collectionIds.value(book.collection)});
    }
    return library;
}

// The same library written the plain way over the one on the reader: the same connection
// settings and journal, prepared statements in one transaction, ids counted rather than
// read back.
void baselineRebuild(const QString &root, const StoredLibrary &library)
{
    const Database database = openDatabase(root + "Sony_Reader/database/books.db");
    sqlite3 *db = database.get();
    execute(db, "PRAGMA SYNCHRONOUS=NORMAL;");
    execute(db, "PRAGMA temp_store = MEMORY;");
    execute(db, "PRAGMA journal_mode=DELETE");
    execute(db, "BEGIN TRANSACTION;");
    execute(db,
            "drop table if exists books; drop table if exists collection; drop table if exists collections; "
            "drop table if exists current_position; drop table if exists history; drop table if exists preference;");
    execute(db, "CREATE TABLE books (_id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT, author TEXT, kana_title TEXT, "
                "kana_author TEXT, title_key TEXT, author_key TEXT, source_id INTEGER, added_date INTEGER, "
                "modified_date INTEGER, reading_time INTEGER, purchased_date INTEGER, file_path TEXT, file_name TEXT, "
                "file_size INTEGER, thumbnail TEXT, mime_type TEXT, corrupted INTEGER, expiration_date INTEGER, "
                "prevent_delete INTEGER, sony_id TEXT, periodical_name TEXT, kana_periodical_name TEXT, "
                "periodical_name_key TEXT, publication_date INTEGER, conforms_to TEXT, description TEXT,logos TEXT)");
    {
        const Statement insert = prepare(
            db,
            "insert into books (title, author, source_id, added_date, modified_date, reading_time, file_path, "
            "file_name, file_size, thumbnail, mime_type, prevent_delete) values(?1,?2,0,?3,?4,?3,?5,?1,?6,?7,?8,0)");
        for (const StoredLibrary::Book &book : library.books) {
            bindUtf8(insert.get(), 1, book.title);
            bindUtf8(insert.get(), 2, book.author);
            sqlite3_bind_int64(insert.get(), 3, book.added);
            sqlite3_bind_int64(insert.get(), 4, book.modified);
            bindUtf8(insert.get(), 5, book.filePath);
            sqlite3_bind_int64(insert.get(), 6, book.size);
            bindUtf8(insert.get(), 7, book.thumbnail);
            bindUtf8(insert.get(), 8, book.mimeType);
            step(db, insert.get());
        }
    }
    execute(db, "CREATE TABLE collection (_id INTEGER PRIMARY KEY AUTOINCREMENT,title TEXT,kana_title TEXT,source_id "
                "INTEGER,uuid TEXT)");
    {
        const Statement insert = prepare(db, "insert into collection (title, source_id) values(?,0)");
        for (const QByteArray &title : library.collections) {
            bindUtf8(insert.get(), 1, title);
            step(db, insert.get());
        }
    }
    execute(db, "CREATE TABLE collections (_id INTEGER PRIMARY KEY AUTOINCREMENT,collection_id INTEGER,content_id "
                "INTEGER,added_order INTEGER)");
    {
        const Statement insert = prepare(db, "insert into collections (collection_id, content_id) values(?,?)");
        for (std::size_t i = 0; i < library.books.size(); ++i) {
            sqlite3_bind_int64(insert.get(), 1, library.books[i].collection);
            sqlite3_bind_int64(insert.get(), 2, qint64(i) + 1);
            step(db, insert.get());
        }
    }
    execute(db, "CREATE TABLE current_position (_id INTEGER PRIMARY KEY AUTOINCREMENT,content_id INTEGER,dpi "
                "INTEGER,width INTEGER,height INTEGER,version INTEGER,mark BLOB,split_index INTEGER,page_style "
                "INTEGER,crop_mode INTEGER,crop_area_left INTEGER,crop_area_top INTEGER,crop_area_right "
                "INTEGER,crop_area_bottom INTEGER,font_size INTEGER,reflow INTEGER,font_style TEXT,orientation "
                "INTEGER,text_encoding TEXT)");
    execute(db, "CREATE TABLE history (_id INTEGER PRIMARY KEY AUTOINCREMENT, content_id INTEGER, dpi INTEGER, width "
                "INTEGER, height INTEGER, version INTEGER, added_counter INTEGER, reading_time INTEGER, mark BLOB, "
                "split_index INTEGER, page_style INTEGER, crop_mode INTEGER, crop_area_left INTEGER, crop_area_top "
                "INTEGER, crop_area_right INTEGER, crop_area_bottom INTEGER, font_size INTEGER, reflow INTEGER, "
                "font_style TEXT, orientation INTEGER, text_encoding TEXT)");
    execute(db, "CREATE TABLE preference (_id INTEGER PRIMARY KEY AUTOINCREMENT,content_id INTEGER NOT "
                "NULL,tone_curve_type TEXT,contrast INTEGER,brightness INTEGER,show_notes INTEGER,binding_direction "
                "TEXT)");
    execute(db, "insert into preference (content_id, tone_curve_type, contrast, brightness, show_notes, "
                "binding_direction) values(1,'Original',0,0,1,'auto')");
    execute(db, "delete from sqlite_sequence");
    {
        const Statement insert = prepare(db, "insert into sqlite_sequence (name, seq) values(?,?)");
        const QByteArray bookCount = QByteArray::number(qsizetype(library.books.size()));
        const QByteArray collectionCount = QByteArray::number(qsizetype(library.collections.size()));
        for (const auto &[name, seq] : {std::pair<QByteArray, QByteArray>{"books", bookCount},
                                        {"collection", collectionCount},
                                        {"collections", bookCount}}) {
            bindUtf8(insert.get(), 1, name);
            bindUtf8(insert.get(), 2, seq);
            step(db, insert.get());
        }
    }
    execute(db, "CREATE INDEX collection_index ON collections(content_id)");
    execute(db, "delete from layout_cache");
    execute(db, "COMMIT;");
}

double medianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A rebuild of n books over a reader that already holds a library of n books, as a second
// synchronisation finds it, beside the plain C loop writing the same library over the same
// reader.
void runRebuild(int n)
{
    QTemporaryDir folder;
    const QString root = folder.path() + "/";
    const QVector<BookRow> books = syntheticBooks(n);
    const QVector<CollectionRow> collections = syntheticCollections();
    const StoredLibrary stored = storedLibrary(books, collections);

    placeReader(root, fixtureDatabase(folder.path()));
    {
        BookTable bookTable;
        bookTable.appendRows(books);
        CollectionTable collectionTable;
        collectionTable.appendRows(collections);
        rebuildLibrary(root, bookTable, collectionTable);
    }
    const QByteArray existing = fileBytes(root + "Sony_Reader/database/books.db");

    std::vector<double> tessaly;
    std::vector<double> baseline;
    for (int run = 0; run < repeats; ++run) {
        placeReader(root, existing);
        BookTable bookTable;
        bookTable.appendRows(books);
        CollectionTable collectionTable;
        collectionTable.appendRows(collections);
        tessaly.push_back(secondsFor([&] { rebuildLibrary(root, bookTable, collectionTable); }));
        if (fileBytes(root + "Sony_Reader/database/books.db").size() < existing.size() / 2)
            failPhase("rebuild", QStringLiteral("the rebuilt library is smaller than the one it replaced"));

        placeReader(root, existing);
        baseline.push_back(secondsFor([&] { baselineRebuild(root, stored); }));
    }
    reportPhase("rebuild", n, medianOf(tessaly), medianOf(baseline));
}

const BenchPhase phase("rebuild", {50000}, runRebuild);
} // namespace
