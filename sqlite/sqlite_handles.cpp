#include "sqlite/sqlite_handles.h"

#include <sqlite3.h>

namespace SqliteHandles {
void CloseDatabase::operator()(sqlite3 *database) const
{
    sqlite3_close_v2(database);
}

void FinalizeStatement::operator()(sqlite3_stmt *statement) const
{
    sqlite3_finalize(statement);
}
} // namespace SqliteHandles

namespace SqliteFailure {
// SQLite's primary result code of the last failure, without the extended detail.
int primaryCode(sqlite3 *database)
{
    return database == nullptr ? SQLITE_ERROR : sqlite3_errcode(database) & 0xff;
}

// The fixed text, followed by the statement and SQLite's message when SQLite has one.
QString errorText(sqlite3 *database, const QString &fixedText, const QString &subject)
{
    if (database == nullptr || sqlite3_errcode(database) == SQLITE_OK)
        return fixedText;
    return fixedText + QStringLiteral(" \"") + subject + QStringLiteral("\" : ") +
           QString::fromUtf8(sqlite3_errmsg(database));
}
} // namespace SqliteFailure
