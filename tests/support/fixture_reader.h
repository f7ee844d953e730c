#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <QVariantMap>

// The library that a fixture reader holds when built with Contents::Library, as the
// reader's firmware would have written it.
namespace FixtureLibrary {
struct Book
{
    qint64 id;
    QString title;
    QString author;
    QString relativePath; // below Sony_Reader/media/books/, forward slashes
    QString mimeType;
    qint64 fileSize; // the file below the book folder has exactly this size
    qint64 addedDate;
    qint64 modifiedDate;
};
struct Collection
{
    qint64 id;
    QString title;
    QList<qint64> bookIds; // membership rows in insertion order
};
// In _id order; the ids have a gap where a book was deleted on the reader.
QList<Book> books();
QList<Collection> collections();
// The note rows (annotation, bookmark, freehand, deleted_markups, dic_histories) per book id.
QList<std::pair<QString, qint64>> notes();
} // namespace FixtureLibrary

// A reader's drive in a temporary folder: Sony_Reader/database/books.db made from the
// firmware's own table layout, Sony_Reader/media/books/ and Sony_Reader/database/cache/books/.
class FixtureReader
{
public:
    enum class Contents {
        Empty,   // the tables without rows
        Library, // FixtureLibrary with its files, thumbnails, notes, reading positions and caches
    };

    explicit FixtureReader(Contents contents = Contents::Library);
    // A reader whose books.db another program made: its tables are those `schema` creates
    // (statements separated by ";"), without rows.
    explicit FixtureReader(const QString &schema);

    // Makes the existing folder `root` a reader. Throws std::runtime_error on failure.
    static void build(const QString &root, Contents contents);

    // Adds a record to a table of this reader's books.db (values as sqliteInsert takes them)
    // and returns its rowid, which is its `_id` in the firmware's tables.
    qint64 insert(const QString &table, const QVariantMap &values) const;
    // Adds a `books` record for a file below the books folder (`relativePath`, forward
    // slashes) with the columns the firmware always fills, `extra` added or overriding them;
    // the file itself is not made.
    qint64 addBook(const QString &title, const QString &relativePath, const QVariantMap &extra = {}) const;
    qint64 addCollection(const QVariant &title) const;
    void addMembership(qint64 collectionId, qint64 bookId) const;
    // Runs statements (separated by ";") on this reader's books.db.
    void runSql(const QString &sql) const;

    // The device root, ending in a separator.
    QString root() const;
    QString databasePath() const;
    QString booksFolder() const;
    QString thumbnailsFolder() const;

private:
    void requireFolder();

    QTemporaryDir m_folder;
};

// Reads a database through a connection of its own. NULL gives an invalid QVariant,
// integers qlonglong, reals double, texts QString and blobs QByteArray.
QList<QVariantList> sqliteRows(const QString &databasePath, const QString &sql);
// The single value of a one-row, one-column query.
QVariant sqliteValue(const QString &databasePath, const QString &sql);
// Every row of every table (sqlite_master and sqlite_sequence included), each row led by
// its table's name: equal snapshots mean an unchanged database.
QList<QVariantList> sqliteSnapshot(const QString &databasePath);
// Runs statements (separated by ";") on a database through a connection of its own.
void sqliteExecute(const QString &databasePath, const QString &sql);
// Overwrites the middle of `table`'s first page: the file still opens as a database.
void damageTable(const QString &databasePath, const QString &table);
// Inserts one record through a connection of its own, each value bound by its type: QString
// as text, integers as integers, double as a real, QByteArray as a blob, an invalid QVariant
// as NULL. Returns the record's rowid.
qint64 sqliteInsert(const QString &databasePath, const QString &table, const QVariantMap &values);
