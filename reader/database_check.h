#pragma once

#include <QString>

#include <future>
#include <optional>

class SqliteConnection;

// What a look at a database file found: the fileContentDigest() of its bytes, and whether
// SQLite's quick_check found it sound (nothing when the check could not run).
struct DatabaseCheck
{
    std::optional<quint64> digest;
    std::optional<bool> sound;
};

// That look, taken on a thread of its own (the check through a connection of its own that only
// reads) while the caller goes on reading the same file, which nobody writes meanwhile.
class DatabaseCheckMeanwhile
{
public:
    explicit DatabaseCheckMeanwhile(const QString &path);

    // Waits for the look, the first time.
    const DatabaseCheck &result();

private:
    std::future<DatabaseCheck> m_pending;
    std::optional<DatabaseCheck> m_result; // once waited for
};

// Runs `PRAGMA quick_check` on `database`: true when it finds the file sound.
bool passesQuickCheck(SqliteConnection &database);
