#include "reader/reader_notes.h"

#include "reader/library_schema.h"
#include "sqlite/sqlite_connection.h"

#include <QStringList>

namespace {
// Every table whose rows point at books by content_id.
QVector<QLatin1String> notedTables()
{
    QVector<QLatin1String> tables(LibrarySchema::NoteTables.cbegin(), LibrarySchema::NoteTables.cend());
    tables << LibrarySchema::CurrentPosition.name << LibrarySchema::History.name << LibrarySchema::Preference.name;
    return tables;
}
} // namespace

namespace ReaderNotes {

QHash<qint64, QByteArray> readNotedBookPaths(SqliteConnection &database)
{
    QStringList notedIds;
    for (const QLatin1String table : notedTables())
        if (database.tableExists(table))
            notedIds << QStringLiteral("select content_id from ") + table;
    // Most readers hold no notes: then no book needs to be found again.
    QHash<qint64, QByteArray> paths;
    if (notedIds.isEmpty())
        return paths;
    QueryResult books = database.query(QStringLiteral("select _id, file_path from books where _id in (") +
                                       notedIds.join(QStringLiteral(" union ")) + QLatin1Char(')'));
    paths.reserve(books.rowCount());
    for (; !books.eof(); books.next())
        paths.insert(books.fieldAsInteger(0), books.fieldAsUtf8(1));
    return paths;
}

void repoint(SqliteConnection &database, const QHash<qint64, qint64> &newIds)
{
    for (const QLatin1String table : notedTables()) {
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
}

} // namespace ReaderNotes
