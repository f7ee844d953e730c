#pragma once

#include "reader/database_check.h"
#include "reader/loaded_library.h"
#include "reader/previous_book.h"
#include "sqlite/sqlite_connection.h"

#include <QString>
#include <QVector>

#include <optional>

// The reader's books.db held for one synchronisation. It is opened, found to be a sound database
// with the reader's library in it (the check runs while the synchronisation reads and plans, and
// is waited for before its first write), and locked against other programs before anything on the
// reader changes; the lock holds until the object goes, and the transaction that checked it stays open
// for the synchronisation's one commit.
class ReaderDatabase
{
public:
    // Opens, checks and locks. Throws TessalyError with a message for the user when the database
    // cannot serve (missing, not a database, damaged, read-only, held by another program, without
    // the books table); nothing on the reader has changed then.
    // A file whose digest is `soundDigest` was found sound before and is not checked again.
    explicit ReaderDatabase(const QString &deviceRoot, std::optional<quint64> soundDigest = {});

    // Reads the books of the library found: previousBooks() and bookPaths(). Throws TessalyError
    // with the user's message when they cannot be read.
    void readBooks();
    // Takes `books` as previousBooks() instead, the file being byte for byte one they were read from.
    void takeBooks(QVector<PreviousBook> books) { m_previousBooks = std::move(books); }

    // Waits for the check of the file that runs from the opening on: throws TessalyError with the
    // user's message when the file is damaged. Nothing may be written to the reader before.
    void requireSound();
    // The fileContentDigest() of the file as opened and locked; nothing when it cannot be read.
    const std::optional<quint64> &digest() const { return m_check->digest(); }

    const QVector<PreviousBook> &previousBooks() const { return m_previousBooks; }
    // The same books in brief, to tell whether they are those a page loaded: of books read only.
    const LoadedBookPaths &bookPaths() const { return m_bookPaths; }

    SqliteConnection &connection() { return m_database; }

private:
    void openChecked(const QString &path, std::optional<quint64> soundDigest);
    void readPreviousBooks();

    QString m_path;
    SqliteConnection m_database;
    QVector<PreviousBook> m_previousBooks;
    LoadedBookPaths m_bookPaths;
    std::optional<DatabaseCheckMeanwhile> m_check;
};

// The user's message for SQLite's error `code` on the reader's books.db at `path` (the detail is
// SQLite's own text, shown where no better words exist); it ends by saying nothing was changed.
QString readerDatabaseMessage(int code, const QString &path, const QString &detail = {});
