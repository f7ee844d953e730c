#pragma once

#include "sqlite/sqlite_connection.h"

#include <QString>

// The reader's library as the editing page loaded it, beyond the page's rows: the reader it
// came from and its books.db as it was read, a consistent copy of the whole database. Kept
// with the page until the page is emptied, it gives writing the library back what the page
// does not show: the firmware's columns of every record, every membership of each book (the
// page shows one), each stored path exactly as stored and the tables' own definitions, all by
// the record ids that the page's rows keep; and it tells whether the reader attached then
// still holds the library that was loaded.
class LoadedLibrary
{
public:
    QString deviceRoot;     // ending in a separator; empty when nothing is loaded
    DatabaseImage database; // books.db as loaded

    bool isEmpty() const { return deviceRoot.isEmpty(); }
    void clear() { *this = {}; }

    // Opens the database as loaded, read-only.
    void open(SqliteConnection &connection) const { connection.openImage(database); }

    // Whether `reader`, a connection to a reader's books.db now, holds exactly the books that
    // were loaded: the same `_id`s, each at its loaded `file_path`, byte for byte. False when
    // another reader is attached or the library changed since; the page's rows then do not
    // describe that library and must not be written to it.
    bool holdsSameBooks(SqliteConnection &reader) const;
};
