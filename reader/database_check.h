#pragma once

#include <QString>

#include <future>
#include <optional>

class SqliteConnection;

// SQLite's quick_check of a database file, run on a thread of its own through a connection of
// its own that only reads, while the caller goes on reading the same file.
class DatabaseCheckMeanwhile
{
public:
    explicit DatabaseCheckMeanwhile(const QString &path);

    // Waits for the check, the first time: whether it found the file sound, or nothing when it
    // could not run.
    std::optional<bool> sound();

private:
    std::future<std::optional<bool>> m_result;
    std::optional<bool> m_verdict; // once waited for
};

// Runs `PRAGMA quick_check` on `database`: true when it finds the file sound.
bool passesQuickCheck(SqliteConnection &database);
