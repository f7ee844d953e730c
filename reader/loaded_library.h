#pragma once

#include "reader/previous_book.h"
#include "sqlite/sqlite_value.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>
#include <utility>
#include <vector>

class SqliteConnection;
class SqliteRow;
struct BookRow;

// One membership record as loaded, of a loaded book in a loaded collection: its ids as the
// page's record ids read them (texts shared with the rows) and the order it keeps.
struct LoadedMembership
{
    QString collection; // `collection_id`
    QString book;       // `content_id`
    SqliteValue addedOrder;
};

// The books of a library as one read of them saw them, in brief: each record's `_id` with its
// `file_path` exactly as stored, folded into one fingerprint that does not depend on their order.
class LoadedBookPaths
{
public:
    // Takes in one record; `id` and `path` are its columns in `row`.
    void add(const SqliteRow &row, int id, int path);
    // Set when two records were seen with the same `_id`.
    void markRepeatedIds() { m_unique = false; }

    bool uniqueIds() const { return m_unique; }
    bool operator==(const LoadedBookPaths &) const = default;

private:
    qint64 m_count = 0;
    quint64 m_sum = 0;
    quint64 m_mixed = 0; // a second fold, so that one coincidence in the first does not suffice
    bool m_unique = true;
};

// Takes in books one record at a time, as any read of them comes, into their brief; ids repeat
// where their texts do, as the page reads them.
class LoadedBookPathsReader
{
public:
    void add(const SqliteRow &row, int id, int path);
    LoadedBookPaths take();

    // Reads every book of `database`.
    static LoadedBookPaths read(SqliteConnection &database);

private:
    LoadedBookPaths m_paths;
    std::vector<qint64> m_integerIds;
    QStringList m_otherIds; // the texts of ids stored as anything but an integer
};

// One book record as loaded, with what writing it back needs besides its row: where its file and
// thumbnail are stored, told by its row and id alone wherever they can be.
struct LoadedRecord
{
    enum class Thumbnail : quint8 {
        None,     // NULL or empty
        Standard, // in the record's own folder, as ReaderLayout::storedThumbnailPath() names it
        Other,    // kept in LoadedLibrary::otherThumbnails
    };
    qint64 id = 0;
    quint64 shownFields = 0; // the shownFieldsDigest() of its row as loaded
    Thumbnail thumbnail = Thumbnail::None;
    bool pathFromRow = true; // file_path is its row's full_path past the device root, in UTF-8; else in otherPaths
};

// The records as books.db still stores them when it is byte for byte the file loaded.
struct RecordsAsLoaded
{
    // Every record; those no row shows now have only their ids.
    QVector<PreviousBook> books;
    // Per row now, whether it shows what its record showed as loaded.
    QVector<bool> rowsShowingLoaded;
};

// The reader's library as the editing page loaded it, beyond the page's rows: the reader it
// came from, every membership of each book (the page shows one) with its order, and the books'
// records in brief. Kept with the page until the page is emptied, it gives writing the library
// back what the page does not show, and it tells whether the reader attached then still holds
// the library that was loaded. What else a record holds stays in the reader's books.db, where
// the write-back keeps it.
class LoadedLibrary
{
public:
    QString deviceRoot;                    // ending in a separator; empty when nothing is loaded
    QVector<LoadedMembership> memberships; // in the order the reader's table returned them
    LoadedBookPaths books;
    std::optional<quint64> databaseDigest; // of books.db's bytes as the rows were read
    // Of books.db's bytes when found sound beside the load: a write-back to the same bytes need
    // not check them again.
    std::optional<quint64> soundDigest;
    // Every book record, by ascending `_id`; none when an `_id` is not an integer.
    std::vector<LoadedRecord> records;
    QHash<qint64, QByteArray> otherPaths;      // file_path of the records whose rows do not tell it
    QHash<qint64, QByteArray> otherThumbnails; // thumbnail of the records of LoadedRecord::Thumbnail::Other

    bool isEmpty() const { return deviceRoot.isEmpty(); }
    void clear() { *this = {}; }

    // Whether a reader's books.db, whose books are `now`, holds exactly the books that
    // were loaded: the same `_id`s, each at its loaded `file_path`, byte for byte. False when
    // another reader is attached or the library changed since, and when ids repeat; the page's
    // rows then do not describe that library and must not be written to it.
    bool holdsSameBooks(const LoadedBookPaths &now) const;

    // Takes in one book record as the load reads it, in `row` with its `_id`, file_path and
    // thumbnail in columns `id`, `path` and `thumbnail`; each load's row is noted in turn.
    void noteRecord(const SqliteRow &row, int id, int path, int thumbnail);
    // Takes in what `books`, the rows as loaded from the records noted, show.
    void noteShownFields(const QVector<BookRow> &books);
    // The records as loaded, told from `books`, the page's rows now (the first row showing a
    // record tells its file's place); nothing when that cannot be told.
    std::optional<RecordsAsLoaded> recordsAsLoaded(const QVector<BookRow> &books) const;

private:
    bool m_recordsKnown = true; // false once an `_id` that is not an integer was noted
};
