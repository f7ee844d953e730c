#pragma once

#include "booklist/book_row.h"

#include <QString>

#include <functional>

class BookTable;
class CollectionTable;
class SqliteConnection;

// The stages of a rebuild at which the caller is called back, each named for what comes next.
enum class RebuildStep {
    CreateBooksTable, // the old library's tables are dropped
    InsertBooks,      // the books table exists
    Thumbnails,       // the books are written and their ids known
    Collections,      // every thumbnail is written
    Finish,           // the collections are written; memberships and fixed rows follow
    Commit,           // everything is written; the commit follows
};

// One book's turn in the thumbnail stage.
struct ThumbnailJob
{
    int number; // from 1
    int count;
    const BookRow &book; // as written: title cleaned, file_name = title, root = record id
    QString recordId;
    QString folder; // the book's thumbnail folder on the reader, ending in a separator; not yet created
};

// The caller's work interleaved with the rebuild. Every hook may be empty; an exception
// thrown by one abandons the rebuild and leaves the reader's previous library in place.
// All of them run inside the rebuild's transaction.
struct RebuildHooks
{
    std::function<void(RebuildStep next)> beforeStep;
    // Runs once per book, in table order, once the books and their ids are written. The
    // book's record points at folder/main_thumbnail.jpg whatever the hook leaves there.
    std::function<void(const ThumbnailJob &job)> writeThumbnail;
    // Where the file of a book of the replaced library is now, as a stored file_path, when it
    // moved on the reader; an empty answer means where it was. The book's notes follow it.
    std::function<QByteArray(const QByteArray &formerPath)> formerBookNowAt;
};

// Replaces the reader's library in its books.db below `deviceRoot` with `books` (every
// row is written; callers first drop the rows without a collection) and `collections`,
// as one transaction: either the whole new library is committed or the old one stays.
// On success each book row's title is cleaned (double quotes become backquotes),
// file_name is set to that title, and root and record_id to the book's new _id; each
// collection row's record_id is set to its new _id. On failure the rows are unchanged.
// The hooks must not add or remove rows of either table. Throws TessalyError carrying the
// database's error text, or whatever a hook throws.
void rebuildLibrary(const QString &deviceRoot, BookTable &books, CollectionTable &collections,
                    const RebuildHooks &hooks = {});

// The same through a connection the caller has open on the reader's books.db, outside a transaction.
void rebuildLibrary(SqliteConnection &database, const QString &deviceRoot, BookTable &books,
                    CollectionTable &collections, const RebuildHooks &hooks = {});
