#include "reader/reader_notes.h"

#include "reader/library_schema.h"
#include "sqlite/sqlite_connection.h"

#include <QStringList>

namespace {
// A table of our own, present only between an interrupted synchronisation and the next one.
const QLatin1String WithdrawnBooks("tessaly_withdrawn_books");

// The books of `table` whose _id is in `ids` (a select of ids).
void readInto(SqliteConnection &database, const QString &table, const QString &ids, QHash<qint64, QByteArray> &paths)
{
    if (!database.tableExists(table))
        return;
    QueryResult books = database.query(QStringLiteral("select _id, file_path from ") + table +
                                       QStringLiteral(" where _id in (") + ids + ')');
    paths.reserve(paths.size() + books.rowCount());
    for (; !books.eof(); books.next())
        paths.insert(books.fieldAsInteger(0), books.fieldAsUtf8(1));
}
} // namespace

namespace ReaderNotes {

QHash<qint64, QByteArray> readNotedBookPaths(SqliteConnection &database)
{
    QStringList notedIds;
    for (const QLatin1String table : LibrarySchema::NoteTables)
        if (database.tableExists(table))
            notedIds << QStringLiteral("select content_id from ") + table;
    // Most readers hold no notes: then no book needs to be found again.
    QHash<qint64, QByteArray> paths;
    if (notedIds.isEmpty())
        return paths;
    const QString ids = notedIds.join(QStringLiteral(" union "));
    readInto(database, WithdrawnBooks, ids, paths);
    // A book listed again under its old number is that book.
    readInto(database, LibrarySchema::Books.name, ids, paths);
    return paths;
}

void rememberWithdrawn(SqliteConnection &database, const QHash<qint64, QByteArray> &withdrawn)
{
    database.execute(QStringLiteral("create table if not exists ") + WithdrawnBooks +
                     QStringLiteral(" (_id INTEGER PRIMARY KEY, file_path TEXT)"));
    SqliteStatement remember = database.prepare(QStringLiteral("insert or replace into ") + WithdrawnBooks +
                                                QStringLiteral(" (_id, file_path) values(?,?)"));
    for (auto book = withdrawn.cbegin(); book != withdrawn.cend(); ++book) {
        remember.bindInteger(1, book.key());
        remember.bindUtf8(2, book.value());
        remember.execute();
    }
}

void repoint(SqliteConnection &database, const QHash<qint64, qint64> &newIds)
{
    for (const QLatin1String table : LibrarySchema::NoteTables) {
        if (!database.tableExists(table))
            continue;
        QueryResult notes = database.query(QStringLiteral("select _id, content_id from ") + table);
        SqliteStatement move =
            database.prepare(QStringLiteral("update ") + table + QStringLiteral(" set content_id=? where _id=?"));
        SqliteStatement remove =
            database.prepare(QStringLiteral("delete from ") + table + QStringLiteral(" where _id=?"));
        for (; !notes.eof(); notes.next()) {
            if (notes.fieldIsNull(1))
                continue;
            const qint64 note = notes.fieldAsInteger(0);
            const qint64 formerBook = notes.fieldAsInteger(1);
            const auto book = newIds.constFind(formerBook);
            if (book == newIds.cend()) {
                remove.bindInteger(1, note);
                remove.execute();
            } else if (*book != formerBook) {
                move.bindInteger(1, *book);
                move.bindInteger(2, note);
                move.execute();
            }
        }
    }
    database.execute(QStringLiteral("drop table if exists ") + WithdrawnBooks);
}

} // namespace ReaderNotes
