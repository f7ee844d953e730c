#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "support/fixture_reader.h"
#include "sync/page_rebuild.h"

#include <QDir>
#include <QTest>

namespace {
// A row of the editing page for a book already on the reader.
BookRow readerBook(const FixtureReader &reader, const QString &relativePath, const QString &collection)
{
    BookRow row;
    row.full_path = reader.booksFolder() + QDir::toNativeSeparators(relativePath);
    row.collection = collection;
    row.file_size = "640";
    row.title = relativePath.section('/', -1);
    row.added_date = "1704103200000";
    row.modified_date = "1704103200000";
    row.mime_type = "application/fb2";
    row.relative_path = QDir::toNativeSeparators(relativePath);
    return row;
}

const QStringList noteTables{"annotation", "bookmark", "freehand", "deleted_markups", "dic_histories"};

int contentIdColumn(const QString &databasePath, const QString &table)
{
    const QList<QVariantList> columns = sqliteRows(databasePath, "pragma table_info(" + table + ")");
    for (const QVariantList &column : columns)
        if (column.at(1).toString() == "content_id")
            return column.at(0).toInt();
    return -1;
}
} // namespace

class TestLibraryRebuildNotes : public QObject
{
    Q_OBJECT
private slots:
    // Book 5 stays with its record; books 1 and 3 stay under records of their own, book 2 leaves
    // the library; book 4 was already gone.
    void notesFollowTheirBooks()
    {
        const FixtureReader reader;
        const QString database = reader.databasePath();
        QHash<QString, QList<QVariantList>> before;
        for (const QString &table : noteTables)
            before.insert(table, sqliteRows(database, "select * from " + table + " order by _id"));

        BookTable books;
        BookRow staying = readerBook(reader, "notes.txt", "Разное");
        staying.record_id = "5";
        books.appendRows({
            staying,
            readerBook(reader, "Фантастика/Стругацкие/Пикник на обочине.fb2", "Разное"),
            readerBook(reader, "Manuals/PRS-T3 guide.pdf", "Разное"),
            readerBook(reader, "Новое/Пикник на обочине.fb2", "Разное"),
        });
        CollectionTable collections;
        collections.appendRow(CollectionRow{"Разное", "4", {}});
        rebuildLibrary(reader.root(), books, collections);

        const QHash<qlonglong, qlonglong> newIds{{5, 5}, {1, 6}, {3, 7}};
        int kept = 0;
        for (const QString &table : noteTables) {
            const int column = contentIdColumn(database, table);
            QList<QVariantList> expected;
            for (QVariantList row : before.value(table)) {
                if (!row.at(column).isNull()) {
                    if (!newIds.contains(row.at(column).toLongLong()))
                        continue;
                    row[column] = newIds.value(row.at(column).toLongLong());
                }
                expected << row;
            }
            kept += int(expected.size());
            QCOMPARE(sqliteRows(database, "select * from " + table + " order by _id"), expected);
        }
        QCOMPARE(kept, 8); // the bookmarks of books 2 and 4 are gone

        // Notes that name their file agree with the book they now point at.
        for (const QString table : {"annotation", "bookmark"})
            QCOMPARE(
                sqliteRows(database, "select count(*) from " + table +
                                         " n join books b on b._id = n.content_id where n.file_path = b.file_path"),
                sqliteRows(database, "select count(*) from " + table));
        // The firmware's own view joins each note to its book.
        QCOMPARE(sqliteRows(database, "select content_id, title from markups order by content_id, title"),
                 (QList<QVariantList>{{5, "notes.txt"},
                                      {6, "Пикник на обочине.fb2"},
                                      {6, "Пикник на обочине.fb2"},
                                      {6, "Пикник на обочине.fb2"},
                                      {7, "PRS-T3 guide.pdf"}}));
    }

    void aBookPutTwiceTakesItsNotesToTheLaterRecord()
    {
        const FixtureReader reader;
        BookTable books;
        books.appendRows({readerBook(reader, "Фантастика/Стругацкие/Пикник на обочине.fb2", "A"),
                          readerBook(reader, "notes.txt", "A"),
                          readerBook(reader, "Фантастика/Стругацкие/Пикник на обочине.fb2", "A")});
        CollectionTable collections;
        collections.appendRow(CollectionRow{"A", "3", {}});
        rebuildLibrary(reader.root(), books, collections);
        QCOMPARE(sqliteRows(reader.databasePath(), "select distinct content_id from annotation"),
                 (QList<QVariantList>{{8}}));
    }

    void readerWithoutOptionalTables()
    {
        const FixtureReader reader;
        for (const QString &table : noteTables + QStringList{"layout_cache"})
            sqliteExecute(reader.databasePath(), "drop table " + table);
        sqliteExecute(reader.databasePath(), "drop view markups");
        BookTable books;
        books.appendRow(readerBook(reader, "notes.txt", "A"));
        CollectionTable collections;
        collections.appendRow(CollectionRow{"A", "1", {}});
        rebuildLibrary(reader.root(), books, collections);
        QCOMPARE(sqliteRows(reader.databasePath(), "select _id, file_path from books"),
                 (QList<QVariantList>{{6, "Sony_Reader/media/books/notes.txt"}}));
        QCOMPARE(sqliteRows(reader.databasePath(), "select count(*) from sqlite_master where name = 'layout_cache'"),
                 QList<QVariantList>{{0}});
    }

    void readerWithoutABooksTable()
    {
        const FixtureReader reader;
        sqliteExecute(reader.databasePath(), "drop view markups; drop view periodicals; drop table books");
        BookTable books;
        books.appendRow(readerBook(reader, "notes.txt", "A"));
        CollectionTable collections;
        collections.appendRow(CollectionRow{"A", "1", {}});
        rebuildLibrary(reader.root(), books, collections);
        // Without the former books nothing tells which book a note was on.
        for (const QString &table : noteTables)
            QCOMPARE(
                sqliteRows(reader.databasePath(), "select count(*) from " + table + " where content_id is not null"),
                QList<QVariantList>{{0}});
        QCOMPARE(sqliteRows(reader.databasePath(), "select count(*) from books"), QList<QVariantList>{{1}});
    }
};

QTEST_GUILESS_MAIN(TestLibraryRebuildNotes)
#include "test_library_rebuild_notes.moc"
