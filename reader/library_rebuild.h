#pragma once

#include "booklist/book_row.h"
#include "reader/previous_book.h"
#include "sqlite/sqlite_connection.h"

#include <QString>
#include <QVector>

#include <functional>

class SqliteConnection;

// The stages of a rebuild at which the caller is called back, each named for what comes next.
enum class RebuildStep {
    InsertBooks, // the firmware's tables exist
    Thumbnails,  // the books are written and their ids known
    Collections, // every thumbnail is written
    Finish,      // the collections are written; memberships and the reader's own rows follow
    Commit,      // everything is written; the commit follows
};

// One book's turn in the thumbnail stage.
struct ThumbnailJob
{
    int number; // from 1
    int count;
    const BookRow &book; // the row with its title and file_name as written; recordId names its record
    QString recordId;
    bool addedRecord;         // a record the library did not have: nothing of the reader's is in its thumbnail folder
    QByteArray thumbnailPath; // the record's stored thumbnail as it was; empty for an added record or NULL
};

// What a book's record points at once its thumbnail turn is over.
enum class ThumbnailOutcome {
    Kept,    // the record's own thumbnail, untouched
    Written, // folder/main_thumbnail.jpg
    None,    // no thumbnail: the record names none
};

// The caller's work interleaved with the rebuild. Every hook may be empty; an exception
// thrown by one abandons the rebuild and leaves the reader's previous library in place.
// All of them run inside the rebuild's transaction.
struct RebuildHooks
{
    std::function<void(RebuildStep next)> beforeStep;
    // Runs once per book, in table order, once the books and their ids are written. Without
    // it every record points at folder/main_thumbnail.jpg.
    std::function<ThumbnailOutcome(const ThumbnailJob &job)> writeThumbnail;
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
// it besides the rows: every membership of each book (the page shows one).
struct WriteBack
{
    QVector<Membership> memberships; // written in place of those the collection names give
    // Given when books.db is byte for byte the one the rows were loaded from: its books as this
    // run read them, and per book row whether the row still shows what it was loaded with. The
    // records of the rows that do are not read again: nothing in them changes.
    const QVector<PreviousBook> *storedBooks = nullptr;
    QVector<bool> rowsShowingStored;
};

// A digest of what a book row shows of the columns a rebuild may change in the record it keeps:
// rows with equal digests change their records alike.
quint64 shownFieldsDigest(const BookRow &book);

// What a rebuild writes of a collection row, and where it gives back the collection's `_id`.
struct CollectionRecord
{
    QString name;
    QString record_id;         // the reader's record it keeps (editing page), or empty; its `_id` on success
    bool series_order = false; // made from a series: its books go in their series' order
};

// Writes `books` (every row, a book without a collection without a membership) and `collections`
// as the library in the reader's books.db open on `database` (in a transaction of the caller's or
// none), as one transaction: either the whole new library is committed or the old one stays. The
// library is changed in place, so the reader's own tables, columns, triggers and indexes stay: a
// row whose record_id names a record of the books (collection) table keeps that record and its
// _id, with its thumbnail, notes, reading position and history, and only what the row decides
// changes in it (a book's stored file_path stays); the other rows get records of their own,
// numbered above every id the table ever gave; records no row keeps go with their memberships,
// reading positions and history, while their notes follow the record of the same book file, if
// any. A collection row without a record_id keeps an unclaimed record of the same title, unless
// `writeBack` is given (the library written is then one loaded from that reader). A book is a
// member of every collection named as its `collection` (of those `writeBack` lists when given),
// each pair written once.
// On success each book whose title is written is cleaned (double quotes become backquotes) and
// file_name set to that title; root and record_id take the book's _id; each collection's
// record_id takes its _id. On failure the rows are unchanged and the transaction rolled back.
// The hooks must not change the rows. Throws TessalyError carrying the database's error text, or
// whatever a hook throws.
void rebuildLibrary(SqliteConnection &database, const QString &deviceRoot, QVector<BookRow> &books,
                    QVector<CollectionRecord> &collections, const RebuildHooks &hooks = {},
                    const WriteBack *writeBack = nullptr);

// What a rebuild made of the book rows it wrote, told row by row: each row's record as committed.
class WrittenBooks
{
public:
    struct Rows
    {
        QVector<qint64> ids;
        QVector<bool> added;            // whether the record is new
        QVector<bool> titleWritten;     // whether the row's title was written
        QVector<QByteArray> filePaths;  // file_path as stored
        QVector<QByteArray> thumbnails; // thumbnail as stored; empty for NULL
    };
    explicit WrittenBooks(Rows rows) : m_rows(std::move(rows)) {}

    // Makes `book`, row `row` of those written, what rebuildLibrary() makes of it; false when it
    // already was.
    bool update(int row, BookRow &book) const;

    // The records are exactly the library's books: a rebuild drops those no row keeps.
    qsizetype size() const { return m_rows.ids.size(); }
    qint64 id(int row) const { return m_rows.ids.at(row); }
    bool isAdded(int row) const { return m_rows.added.at(row); }
    const QByteArray &filePath(int row) const { return m_rows.filePaths.at(row); }
    const QByteArray &thumbnail(int row) const { return m_rows.thumbnails.at(row); }

private:
    Rows m_rows;
};

// The rebuild of rebuildLibrary() that leaves `books` as they are and tells what to make of them.
WrittenBooks writeLibrary(SqliteConnection &database, const QString &deviceRoot, const QVector<BookRow> &books,
                          QVector<CollectionRecord> &collections, const RebuildHooks &hooks = {},
                          const WriteBack *writeBack = nullptr);

// The id the first record added to the books table will take: above every id it ever gave.
qint64 nextBookId(SqliteConnection &database);
