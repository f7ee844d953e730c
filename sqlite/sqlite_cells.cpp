#include "sqlite/sqlite_cells.h"

#include <sqlite3.h>

#include <iterator>

namespace SqliteCells {
QueryResult::Kind kindOfDeclaredType(const char *declared, int firstValueType)
{
    if (declared == nullptr) {
        switch (firstValueType) {
        case SQLITE_INTEGER:
            return QueryResult::Kind::Integer;
        case SQLITE_FLOAT:
            return QueryResult::Kind::Float;
        case SQLITE_BLOB:
            return QueryResult::Kind::Blob;
        default:
            return QueryResult::Kind::Text;
        }
    }
    const QByteArray type = QByteArray(declared).toUpper();
    if (type == "INTEGER" || type == "BOOLEAN")
        return QueryResult::Kind::Integer;
    if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL")
        return QueryResult::Kind::Float;
    if (type == "BLOB")
        return QueryResult::Kind::Blob;
    return QueryResult::Kind::Text;
}

// The decimal text of a number, as QString::number gives it, without its general machinery: a
// load makes four of them for each of tens of thousands of books.
QString decimalText(qint64 value)
{
    char16_t digits[20];
    qsizetype first = std::size(digits);
    quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    do {
        digits[--first] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[--first] = u'-';
    return QString(reinterpret_cast<const QChar *>(digits + first), qsizetype(std::size(digits)) - first);
}

QueryResult::Kind columnKind(sqlite3_stmt *statement, int column)
{
    return kindOfDeclaredType(sqlite3_column_decltype(statement, column), sqlite3_column_type(statement, column));
}

QueryResult::Cell readCell(sqlite3_stmt *statement, int column, QueryResult::Kind kind)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return {};
    switch (kind) {
    case QueryResult::Kind::Integer:
        return qint64(sqlite3_column_int64(statement, column));
    case QueryResult::Kind::Float:
        return sqlite3_column_double(statement, column);
    case QueryResult::Kind::Blob: {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(statement, column));
    }
    case QueryResult::Kind::Text:
        break;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return QByteArray(text, sqlite3_column_bytes(statement, column));
}
} // namespace SqliteCells
