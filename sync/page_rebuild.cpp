#include "sync/page_rebuild.h"

#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_connection.h"

void rebuildLibrary(const QString &deviceRoot, BookTable &books, CollectionTable &collections,
                    const RebuildHooks &hooks)
{
    SqliteConnection database;
    database.open(ReaderLayout::databasePath(deviceRoot));
    // The reader's own SQLite reads only the default rollback journal, and a
    // journal deleted on commit leaves no -journal file behind.
    database.query(QStringLiteral("PRAGMA journal_mode=DELETE"));
    rebuildLibrary(database, deviceRoot, books, collections, hooks);
    database.close();
}

WrittenBooks rebuildLibrary(SqliteConnection &database, const QString &deviceRoot, BookTable &books,
                            CollectionTable &collections, const RebuildHooks &hooks, const WriteBack *writeBack)
{
    QVector<CollectionRecord> writtenCollections;
    writtenCollections.reserve(collections.rowCount());
    for (const CollectionRow &row : collections.rows())
        writtenCollections.append({row.name, row.record_id, row.series_order});
    // The rows stay shared with the table: only those the library changes are touched.
    WrittenBooks written = writeLibrary(database, deviceRoot, books.rows(), writtenCollections, hooks, writeBack);

    Q_ASSERT(writtenCollections.size() == collections.rowCount());
    int book = 0;
    books.updateRows([&](BookRow &row) { return written.update(book++, row); });
    auto collection = writtenCollections.begin();
    collections.updateRows([&](CollectionRow &row) {
        row.record_id = (collection++)->record_id;
        return true;
    });
    return written;
}
