#pragma once

#include "sqlite/sqlite_connection.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVector>

// One book of the library on the reader as a synchronisation finds it.
struct PreviousBook
{
    qint64 id = 0;
    QByteArray filePath;  // as stored: relative to the device root, forward slashes, UTF-8
    QByteArray thumbnail; // as stored; empty when NULL
};

// The reader's books.db held for one synchronisation. It is opened, found to be a sound database
// with the reader's library in it, and locked against other programs before anything on the reader
// changes; the lock holds until the object goes.
class ReaderDatabase
{
public:
    // Opens, checks and locks. Throws TessalyError with a message for the user when the database
    // cannot serve (missing, not a database, damaged, read-only, held by another program, without
    // the books table); nothing on the reader has changed then.
    explicit ReaderDatabase(const QString &deviceRoot);

    const QVector<PreviousBook> &previousBooks() const { return m_previousBooks; }
    // Whether a book record names this stored file_path.
    bool lists(const QByteArray &filePath) const { return m_listedPaths.contains(filePath); }

    // Commits a database that lists only the previous books in `staying` (by _id): the others
    // and their memberships go, while their notes stay with a record of where their books were.
    // Before any book file is deleted or replaced this must be on the reader.
    void withdrawAllBut(const QSet<qint64> &staying);

    SqliteConnection &connection() { return m_database; }

private:
    void openChecked(const QString &path);
    void readPreviousBooks();

    QString m_path;
    SqliteConnection m_database;
    QVector<PreviousBook> m_previousBooks;
    QSet<QByteArray> m_listedPaths;
};
