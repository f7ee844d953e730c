#pragma once

#include "sqlite/query_result.h"

#include <QString>

struct sqlite3_stmt;

// How query results read their cells, shared by the in-memory result table and the rows read in place.
namespace SqliteCells {
// The kind of a column from its declared type, or from its first value where it declares none.
QueryResult::Kind kindOfDeclaredType(const char *declared, int firstValueType);
QueryResult::Kind columnKind(sqlite3_stmt *statement, int column);
QueryResult::Cell readCell(sqlite3_stmt *statement, int column, QueryResult::Kind kind);
} // namespace SqliteCells
