#pragma once

#include "booklist/book_row.h"
#include "collections/collection_table.h"
#include "reader/loaded_library.h"

#include <QVector>

class Progress;
struct LibraryPage;

// The reader's library as one load read it, whole, before any of it is shown.
struct ReaderLibrary
{
    QVector<BookRow> books;             // one per `books` record, in query order
    QVector<CollectionRow> collections; // one per `collection` record, in query order
    LoadedLibrary loaded;
};

// The reader's database counts as large from this size on: reading it over the cable takes
// long enough for the progress window to show.
inline constexpr qint64 LargeReaderDatabaseBytes = 2 * 1024 * 1024;

// Reads the library of the reader at `deviceRoot` from its books.db, settled first and read
// where it lies in one read transaction, so that everything is read from one state of it:
// every book, every collection and every membership. A book shows the collection of its last
// membership; a collection counts every membership that names a loaded book. A database
// without the collection tables has no collections. The progress window shows while a large
// database is read. Throws TessalyError with the database's error text; nothing is returned
// half-read.
ReaderLibrary readReaderLibrary(const QString &deviceRoot, Progress &progress);

// Puts a library on the editing page, which the mode switch has emptied: the rows in one
// insertion per list, the lists' headers, widths and alignments, and what was loaded.
void installReaderLibrary(LibraryPage &page, ReaderLibrary library);
