#include "reader/database_check.h"

#include "core/file_digest.h"
#include "sqlite/sqlite_connection.h"
#include "sqlite/sqlite_error.h"

#include <sqlite3.h>

namespace {
std::optional<bool> quickCheck(const QString &path)
{
    try {
        SqliteConnection database;
        database.open(path, SqliteConnection::OpenMode::ReadOnly);
        // The check reads every page once: a small cache serves it as well as a large one.
        database.execute(QStringLiteral("PRAGMA cache_size=-256"));
        return passesQuickCheck(database);
    } catch (const SqliteError &error) {
        if (error.code() == SQLITE_CORRUPT || error.code() == SQLITE_NOTADB)
            return false;
        return std::nullopt;
    }
}

} // namespace

DatabaseCheckMeanwhile::DatabaseCheckMeanwhile(const QString &path)
{
    std::promise<std::optional<quint64>> digest;
    m_digest = digest.get_future().share();
    m_sound = std::async(std::launch::async, [path, digest = std::move(digest)]() mutable {
                  digest.set_value(fileContentDigest(path));
                  return quickCheck(path);
              }).share();
}

bool passesQuickCheck(SqliteConnection &database)
{
    QueryResult check = database.query(QStringLiteral("PRAGMA quick_check"));
    return check.rowCount() == 1 && check.fieldAsText(0) == QLatin1String("ok");
}
