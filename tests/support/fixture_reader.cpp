#include "support/fixture_reader.h"

#include "test_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace FixtureLibrary {

QList<Book> books()
{
    return {
        {1, QStringLiteral("Пикник на обочине"), QStringLiteral("Аркадий Стругацкий"),
         QStringLiteral("Фантастика/Стругацкие/Пикник на обочине.fb2"), QStringLiteral("application/fb2"), 2817,
         1704103200000, 1703980800000},
        {2, QStringLiteral("Solaris"), QStringLiteral("Stanisław Lem"), QStringLiteral("Fantastika/solaris.epub"),
         QStringLiteral("application/epub+zip"), 5120, 1704189600000, 1690000000000},
        {3, QStringLiteral("Руководство PRS-T3"), QStringLiteral("Sony"), QStringLiteral("Manuals/PRS-T3 guide.pdf"),
         QStringLiteral("application/pdf"), 8192, 1704276000000, 1650000000000},
        {5, QStringLiteral("Заметки"), QString(), QStringLiteral("notes.txt"), QStringLiteral("text/plain"), 640,
         1704362400000, 1704362400000},
    };
}

QList<Collection> collections()
{
    return {
        {1, QStringLiteral("Фантастика"), {1, 2}},
        {2, QStringLiteral("Документация"), {3}},
        {3, QStringLiteral("Прочитанное"), {1}},
    };
}

QList<std::pair<QString, qint64>> notes()
{
    // Book 4 was deleted on the reader; its bookmark stayed behind.
    return {
        {QStringLiteral("annotation"), 1}, {QStringLiteral("annotation"), 1},      {QStringLiteral("annotation"), 3},
        {QStringLiteral("bookmark"), 2},   {QStringLiteral("bookmark"), 5},        {QStringLiteral("bookmark"), 4},
        {QStringLiteral("freehand"), 1},   {QStringLiteral("deleted_markups"), 3}, {QStringLiteral("dic_histories"), 5},
    };
}

} // namespace FixtureLibrary

namespace {

struct CloseDatabase
{
    void operator()(sqlite3 *database) const { sqlite3_close_v2(database); }
};
struct FinalizeStatement
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

[[noreturn]] void fail(sqlite3 *database, const QString &what)
{
    throw std::runtime_error((what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(database))).toStdString());
}

Database openDatabase(const QString &path)
{
    sqlite3 *handle = nullptr;
    const int result =
        sqlite3_open_v2(path.toUtf8().constData(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Database database(handle);
    if (result != SQLITE_OK)
        fail(database.get(), QStringLiteral("open ") + path);
    return database;
}

void execute(sqlite3 *database, const QString &sql)
{
    if (sqlite3_exec(database, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(database, sql);
}

// Inserts one row with bound values: QString as text, integers, QByteArray as blob, invalid as NULL.
void insert(sqlite3 *database, const QString &table, const QStringList &columns, const QVariantList &values)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString sql =
        QStringLiteral("insert into %1 (%2) values (%3)").arg(table, columns.join(','), marks.join(','));
    sqlite3_stmt *handle = nullptr;
    if (sqlite3_prepare_v2(database, sql.toUtf8().constData(), -1, &handle, nullptr) != SQLITE_OK)
        fail(database, sql);
    const Statement statement(handle);
    for (int i = 0; i < int(values.size()); ++i) {
        const QVariant &value = values.at(i);
        if (!value.isValid()) {
            sqlite3_bind_null(handle, i + 1);
        } else if (value.typeId() == QMetaType::QByteArray) {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob(handle, i + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        } else if (value.typeId() == QMetaType::Double) {
            sqlite3_bind_double(handle, i + 1, value.toDouble());
        } else if (value.typeId() == QMetaType::QString) {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(handle, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(handle, i + 1, value.toLongLong());
        }
    }
    if (sqlite3_step(handle) != SQLITE_DONE)
        fail(database, sql);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error(("cannot write " + path).toStdString());
}

QString storedPath(const FixtureLibrary::Book &book)
{
    return QStringLiteral("Sony_Reader/media/books/") + book.relativePath;
}

QString storedThumbnail(qint64 id)
{
    return QStringLiteral("Sony_Reader/database/cache/books/%1/thumbnail/main_thumbnail.jpg").arg(id);
}

void fillLibrary(sqlite3 *database, const QString &root)
{
    using namespace FixtureLibrary;
    const QVariant null;
    insert(database, "android_metadata", {"locale"}, {QStringLiteral("ru_RU")});
    for (const Book &book : books()) {
        const QString fileName = book.relativePath.section('/', -1);
        insert(database, "books",
               {"_id", "title", "author", "source_id", "added_date", "modified_date", "reading_time", "file_path",
                "file_name", "file_size", "thumbnail", "mime_type", "corrupted", "prevent_delete"},
               {book.id, book.title, book.author, 0, book.addedDate, book.modifiedDate, book.addedDate + 86400000,
                storedPath(book), fileName, book.fileSize, storedThumbnail(book.id), book.mimeType, 0, 0});
        writeFile(root + storedPath(book), QByteArray(book.fileSize, 'b'));
        writeFile(root + storedThumbnail(book.id), QByteArray("\xFF\xD8\xFF\xE0 thumbnail \xFF\xD9"));
    }
    for (const Collection &collection : collections()) {
        insert(database, "collection", {"_id", "title", "kana_title", "source_id", "uuid"},
               {collection.id, collection.title, null, 0, null});
        for (const qint64 book : collection.bookIds)
            insert(database, "collections", {"collection_id", "content_id", "added_order"},
                   {collection.id, book, null});
    }
    execute(database, "CREATE INDEX collection_index ON collections(content_id)");

    QHash<qint64, QString> paths;
    for (const Book &book : books())
        paths.insert(book.id, storedPath(book));
    const QByteArray mark("\x01\x02mark\x00\x03", 9);
    int added = 0;
    for (const auto &[table, book] : notes()) {
        const qint64 date = 1705000000000 + 60000 * ++added;
        const QString name = QStringLiteral("Заметка %1").arg(added);
        if (table == "annotation")
            insert(database, table,
                   {"content_id", "markup_type", "added_date", "modified_date", "name", "marked_text", "mark",
                    "mark_end", "page", "total_page", "mime_type", "file_path"},
                   {book, 10, date, date, name, QStringLiteral("выделенный текст"), mark, mark, 12.5, 240,
                    QStringLiteral("application/fb2"), paths.value(book)});
        else if (table == "bookmark")
            insert(database, table,
                   {"content_id", "font_size", "mark", "page", "total_page", "markup_type", "added_date",
                    "modified_date", "name", "file_path"},
                   {book, 2, mark, 3.0, 100, 0, date, date, name, paths.value(book)});
        else if (table == "freehand")
            insert(database, table,
                   {"content_id", "mark", "page", "total_page", "markup_type", "added_date", "modified_date", "name",
                    "svg_file"},
                   {book, mark, 7.0, 240, 20, date, date, name, QStringLiteral("freehand/%1.svg").arg(added)});
        else if (table == "deleted_markups")
            insert(database, table, {"content_id", "markup_type", "added_date", "name", "mark"},
                   {book, 10, date, name, mark});
        else
            insert(
                database, table,
                {"content_id", "dic_content_id", "dic_content_name", "dic_searchword", "dic_search_no", "added_date"},
                {book, 1, QStringLiteral("Толковый словарь"), QStringLiteral("сталкер"), 1, QString::number(date)});
    }
    // A dictionary look-up made outside any book.
    insert(database, "dic_histories",
           {"content_id", "dic_content_id", "dic_content_name", "dic_searchword", "dic_search_no", "added_date"},
           {null, 1, QStringLiteral("Толковый словарь"), QStringLiteral("зона"), 2, QStringLiteral("1705000900000")});

    for (const qint64 book : {1, 2}) {
        insert(database, "current_position",
               {"content_id", "dpi", "width", "height", "version", "mark", "page_style", "font_size", "orientation"},
               {book, 167, 600, 800, 1, mark, 0, 2, 0});
        insert(database, "history",
               {"content_id", "dpi", "width", "height", "version", "added_counter", "reading_time", "mark"},
               {book, 167, 600, 800, 1, book, 1705100000000 + book, mark});
    }
    insert(database, "layout_cache",
           {"content_id", "dpi", "width", "height", "font_size", "reflow", "state", "file_path", "layout_version"},
           {1, 167, 600, 800, 2, 0, 1, QStringLiteral("Sony_Reader/database/cache/books/1/layout"), 3});
    for (const qint64 book : {1, 3})
        insert(database, "preference",
               {"content_id", "tone_curve_type", "contrast", "brightness", "show_notes", "binding_direction"},
               {book, QStringLiteral("Original"), 0, 0, 1, QStringLiteral("auto")});
}

} // namespace

FixtureReader::FixtureReader(Contents contents)
{
    requireFolder();
    build(root(), contents);
}

FixtureReader::FixtureReader(const QString &schema)
{
    requireFolder();
    QDir().mkpath(root() + "Sony_Reader/media/books");
    QDir().mkpath(root() + "Sony_Reader/database/cache/books");
    runSql(schema);
}

void FixtureReader::requireFolder()
{
    if (!m_folder.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

qint64 FixtureReader::insert(const QString &table, const QVariantMap &values) const
{
    return sqliteInsert(databasePath(), table, values);
}

qint64 FixtureReader::addBook(const QString &title, const QString &relativePath, const QVariantMap &extra) const
{
    QVariantMap values{{"title", title},
                       {"author", QStringLiteral("Автор")},
                       {"source_id", 0},
                       {"added_date", qint64(1704103200000)},
                       {"modified_date", qint64(1703980800000)},
                       {"reading_time", qint64(1704103200000)},
                       {"file_path", QStringLiteral("Sony_Reader/media/books/") + relativePath},
                       {"file_name", relativePath.section('/', -1)},
                       {"file_size", 1024},
                       {"mime_type", QStringLiteral("application/fb2")},
                       {"corrupted", 0},
                       {"prevent_delete", 0}};
    values.insert(extra);
    return insert("books", values);
}

qint64 FixtureReader::addCollection(const QVariant &title) const
{
    return insert("collection", {{"title", title}, {"source_id", 0}});
}

void FixtureReader::addMembership(qint64 collectionId, qint64 bookId) const
{
    insert("collections", {{"collection_id", collectionId}, {"content_id", bookId}});
}

void FixtureReader::runSql(const QString &sql) const
{
    sqliteExecute(databasePath(), sql);
}

void FixtureReader::build(const QString &root, Contents contents)
{
    QFile schemaFile(QStringLiteral(TESSALY_FIXTURES_DIR "/reader-firmware-schema.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the reader schema fixture");
    const QString schema = QString::fromUtf8(schemaFile.readAll());

    const QString base = QDir(root).absolutePath() + '/';
    QDir().mkpath(base + "Sony_Reader/media/books");
    QDir().mkpath(base + "Sony_Reader/database/cache/books");
    const Database database = openDatabase(base + "Sony_Reader/database/books.db");
    execute(database.get(), QStringLiteral("BEGIN"));
    execute(database.get(), schema);
    if (contents == Contents::Library)
        fillLibrary(database.get(), base);
    execute(database.get(), QStringLiteral("COMMIT"));
}

QString FixtureReader::root() const
{
    return QDir::toNativeSeparators(m_folder.path() + '/');
}

QString FixtureReader::databasePath() const
{
    return root() + QDir::toNativeSeparators("Sony_Reader/database/books.db");
}

QString FixtureReader::booksFolder() const
{
    return root() + QDir::toNativeSeparators("Sony_Reader/media/books/");
}

QString FixtureReader::thumbnailsFolder() const
{
    return root() + QDir::toNativeSeparators("Sony_Reader/database/cache/books/");
}

QList<QVariantList> sqliteRows(const QString &databasePath, const QString &sql)
{
    const Database database = openDatabase(databasePath);
    sqlite3_stmt *handle = nullptr;
    if (sqlite3_prepare_v2(database.get(), sql.toUtf8().constData(), -1, &handle, nullptr) != SQLITE_OK)
        fail(database.get(), sql);
    const Statement statement(handle);
    QList<QVariantList> rows;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(handle)) == SQLITE_ROW) {
        QVariantList row;
        for (int column = 0; column < sqlite3_column_count(handle); ++column) {
            switch (sqlite3_column_type(handle, column)) {
            case SQLITE_INTEGER:
                row << qlonglong(sqlite3_column_int64(handle, column));
                break;
            case SQLITE_FLOAT:
                row << sqlite3_column_double(handle, column);
                break;
            case SQLITE_TEXT:
                row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(handle, column)),
                                         sqlite3_column_bytes(handle, column));
                break;
            case SQLITE_BLOB:
                row << QByteArray(static_cast<const char *>(sqlite3_column_blob(handle, column)),
                                  sqlite3_column_bytes(handle, column));
                break;
            default:
                row << QVariant();
            }
        }
        rows << row;
    }
    if (result != SQLITE_DONE)
        fail(database.get(), sql);
    return rows;
}

QVariant sqliteValue(const QString &databasePath, const QString &sql)
{
    const QList<QVariantList> rows = sqliteRows(databasePath, sql);
    if (rows.size() != 1 || rows.first().size() != 1)
        throw std::runtime_error(("not a single value: " + sql).toStdString());
    return rows.first().first();
}

void sqliteExecute(const QString &databasePath, const QString &sql)
{
    const Database database = openDatabase(databasePath);
    execute(database.get(), sql);
}

void damageTable(const QString &databasePath, const QString &table)
{
    const qint64 pageSize = sqliteValue(databasePath, "pragma page_size").toLongLong();
    const qint64 page =
        sqliteValue(databasePath, "select rootpage from sqlite_master where name = '" + table + "'").toLongLong();
    QFile file(databasePath);
    if (!file.open(QIODevice::ReadWrite) || !file.seek((page - 1) * pageSize + 3) ||
        file.write(QByteArray(int(pageSize / 2), '\x5a')) != pageSize / 2)
        throw std::runtime_error(("cannot damage " + databasePath).toStdString());
}

qint64 sqliteInsert(const QString &databasePath, const QString &table, const QVariantMap &values)
{
    const Database database = openDatabase(databasePath);
    insert(database.get(), table, values.keys(), values.values());
    return sqlite3_last_insert_rowid(database.get());
}

QList<QVariantList> sqliteSnapshot(const QString &databasePath)
{
    QList<QVariantList> snapshot;
    const QList<QVariantList> schema =
        sqliteRows(databasePath, "select type, name, tbl_name, sql from sqlite_master order by type, name");
    for (const QVariantList &object : schema)
        snapshot << (QVariantList{"sqlite_master"} + object);
    for (const QVariantList &object : schema) {
        if (object.at(0).toString() != "table")
            continue;
        const QString table = object.at(1).toString();
        for (const QVariantList &row : sqliteRows(databasePath, "select * from \"" + table + "\" order by rowid"))
            snapshot << (QVariantList{table} + row);
    }
    return snapshot;
}
