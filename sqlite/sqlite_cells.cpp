#include "sqlite/sqlite_cells.h"

#include <sqlite3.h>

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
