#pragma once

#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// Owners of SQLite's handles, closing and finalising them.
namespace SqliteHandles {
struct CloseDatabase
{
    void operator()(sqlite3 *database) const;
};
struct FinalizeStatement
{
    void operator()(sqlite3_stmt *statement) const;
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;
} // namespace SqliteHandles

namespace SqliteFailure {
// SQLite's primary result code of the last failure, without the extended detail.
int primaryCode(sqlite3 *database);
// The fixed text, followed by the statement and SQLite's message when SQLite has one.
QString errorText(sqlite3 *database, const QString &fixedText, const QString &subject);
} // namespace SqliteFailure
