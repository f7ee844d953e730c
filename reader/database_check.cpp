#include "reader/database_check.h"

#include "core/file_digest.h"
#include "sqlite/sqlite_connection.h"
#include "sqlite/sqlite_error.h"

#include <sqlite3.h>

namespace {
// A damaged file fails the check; any other error leaves it unchecked.
std::optional<bool> verdictOn(const SqliteError &error)
{
    if (error.code() == SQLITE_CORRUPT || error.code() == SQLITE_NOTADB)
        return false;
    return std::nullopt;
}

// The digest, then the check, both in one read transaction of a connection of their own: the
// file is the same for both, and the same as for any reader whose transaction overlaps theirs.
std::optional<bool> look(const QString &path, std::optional<quint64> soundDigest,
                         std::promise<std::optional<quint64>> digest)
{
    SqliteConnection database;
    try {
        database.open(path, SqliteConnection::OpenMode::ReadOnly);
        // The check reads every page once: a small cache serves it as well as a large one.
        database.execute(QStringLiteral("PRAGMA cache_size=-256"));
        // The first read takes the shared lock: nobody writes the file until the commit.
        database.beginTransaction();
        database.query(QStringLiteral("select count(*) from sqlite_master"));
    } catch (const SqliteError &error) {
        digest.set_value(fileContentDigest(path));
        return verdictOn(error);
    }
    const std::optional<quint64> taken = fileContentDigest(path);
    digest.set_value(taken);
    if (taken && taken == soundDigest)
        return true;
    try {
        return passesQuickCheck(database);
    } catch (const SqliteError &error) {
        return verdictOn(error);
    }
}
} // namespace

DatabaseCheckMeanwhile::DatabaseCheckMeanwhile(const QString &path, std::optional<quint64> soundDigest)
{
    std::promise<std::optional<quint64>> digest;
    m_digest = digest.get_future().share();
    m_sound = std::async(std::launch::async, look, path, soundDigest, std::move(digest)).share();
}

std::optional<quint64> DatabaseCheckMeanwhile::soundDigest() const
{
    return sound() == true ? digest() : std::nullopt;
}

bool passesQuickCheck(SqliteConnection &database)
{
    QueryResult check = database.query(QStringLiteral("PRAGMA quick_check"));
    return check.rowCount() == 1 && check.fieldAsText(0) == QLatin1String("ok");
}
