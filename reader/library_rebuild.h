#pragma once

#include "booklist/book_row.h"
#include "sqlite/sqlite_connection.h"

#include <QString>
#include <QVector>

#include <functional>

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

// One membership record to write: a collection row and a book row of the rebuild (0-based),
// and the added_order it keeps.
struct Membership
{
    int collection;
    int book;
    SqliteValue addedOrder; // NULL for a membership made on a page
};

// What a rebuild that writes a loaded library back to its reader (the editing page's) keeps of
// it. The rows' record_ids name the records of `database` they were loaded from: every column a
// row does not decide (the firmware's own, the stored file_path, and the title and file_name of
// a book whose title did not change) is written as that record stored it.
struct WriteBack
{
    DatabaseImage database;          // the reader's books.db as loaded
    QVector<Membership> memberships; // written in place of those the collection names give
};

// What a rebuild writes of a collection row, and where it gives back the collection's new `_id`.
struct CollectionRecord
{
    QString name;
    QString record_id;         // as loaded from the reader (editing page), or empty; the new `_id` on success
    bool series_order = false; // made from a series: its books go in their series' order
};

// Replaces the reader's library in its books.db, open on `database` outside a transaction, with
// `books` (every row is written, a book without a collection without a membership) and
// `collections`, as one transaction: either the whole new library is committed or the old one
// stays. Books and collections are numbered from 1 in their order, each record with its own id;
// a book is a member of every collection named as its `collection` (of those `writeBack` lists
// when given), each pair written once. Columns the old tables had beyond the firmware's
// definitions are added to the new ones. With `writeBack`, the library written is one loaded
// from that reader.
// On success each book whose title is written is cleaned (double quotes become backquotes) and
// file_name set to that title; root and record_id take the book's new _id; each collection's
// record_id takes its new _id. On failure the rows are unchanged and the transaction rolled back.
// The hooks must not change the rows. Throws TessalyError carrying the database's error text, or
// whatever a hook throws.
void rebuildLibrary(SqliteConnection &database, const QString &deviceRoot, QVector<BookRow> &books,
                    QVector<CollectionRecord> &collections, const RebuildHooks &hooks = {},
                    const WriteBack *writeBack = nullptr);
