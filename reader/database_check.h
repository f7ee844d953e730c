#pragma once

#include <QString>

#include <future>
#include <optional>

class SqliteConnection;

// A look at a database file, taken on a thread of its own while the caller goes on reading the
// same file: the fileContentDigest() of its bytes first, then SQLite's quick_check, both through
// a connection of its own that only reads, in one read transaction. A caller whose own
// transaction overlaps it (it has waited for the digest before ending it) sees the same file.
class DatabaseCheckMeanwhile
{
public:
    // A file whose digest is `soundDigest`, one found sound before, is not checked again.
    explicit DatabaseCheckMeanwhile(const QString &path, std::optional<quint64> soundDigest = {});

    // Each waits for its part of the look. The digest: nothing when the file cannot be read.
    const std::optional<quint64> &digest() const { return m_digest.get(); }
    // Whether the check found the file sound: nothing when the check could not run.
    const std::optional<bool> &sound() const { return m_sound.get(); }
    // The digest of the file found sound; nothing when it was not.
    std::optional<quint64> soundDigest() const;

private:
    std::shared_future<std::optional<quint64>> m_digest;
    std::shared_future<std::optional<bool>> m_sound;
};

// Runs `PRAGMA quick_check` on `database`: true when it finds the file sound.
bool passesQuickCheck(SqliteConnection &database);
