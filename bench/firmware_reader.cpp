#include "bench/firmware_reader.h"

#include "reader/library_schema.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_connection.h"

#include <QDir>

void writeFirmwareReader(const QString &root, int n)
{
    QDir().mkpath(root + "Sony_Reader/database");
    SqliteConnection database;
    database.open(ReaderLayout::databasePath(root));
    for (const LibrarySchema::ReplacedTable &table : LibrarySchema::ReplacedTables)
        database.execute(table.createStatement);
    database.execute(LibrarySchema::CollectionIndex);
    database.beginTransaction();
    SqliteStatement book = database.prepare(
        "insert into books (title, author, title_key, author_key, source_id, added_date, modified_date, "
        "reading_time, file_path, file_name, file_size, thumbnail, mime_type, corrupted, prevent_delete) "
        "values (?1, ?2, ?1, ?2, 0, ?3, ?4, ?3, ?5, ?6, ?7, ?8, 'application/fb2', 0, 0)");
    for (int i = 1; i <= n; ++i) {
        const QString name = QString("Книга номер %1.fb2").arg(i);
        book.bindText(1, QString("Книга номер %1").arg(i));
        book.bindText(2, QString("Автор %1").arg(i % 1000));
        book.bindInteger(3, 1717243200000 + i);
        book.bindInteger(4, 1717000000000 + i);
        book.bindText(5, QString("Sony_Reader/media/books/Папка %1/Автор %2/%3").arg(i % 97).arg(i % 1000).arg(name));
        book.bindText(6, name);
        book.bindInteger(7, 100000 + qint64(i) * 37);
        book.bindText(8, ReaderLayout::storedThumbnailPath(QString::number(i)));
        book.execute();
    }
    SqliteStatement collection = database.prepare("insert into collection (title, source_id) values (?, 0)");
    for (int c = 1; c <= FirmwareReaderCollections; ++c) {
        collection.bindText(1, QString("Коллекция %1").arg(c));
        collection.execute();
    }
    SqliteStatement membership = database.prepare("insert into collections (collection_id, content_id) values (?, ?)");
    const auto addMembership = [&](int collectionId, int bookId) {
        membership.bindInteger(1, collectionId);
        membership.bindInteger(2, bookId);
        membership.execute();
    };
    for (int i = 1; i <= n; ++i)
        addMembership(i % FirmwareReaderCollections + 1, i);
    for (int i = 5; i <= n; i += 5)
        addMembership((i * 7) % FirmwareReaderCollections + 1, i);
    database.commit();
}
