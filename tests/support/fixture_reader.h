#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

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

    // Makes the existing folder `root` a reader. Throws std::runtime_error on failure.
    static void build(const QString &root, Contents contents);

    // The device root, ending in a separator.
    QString root() const;
    QString databasePath() const;
    QString booksFolder() const;
    QString thumbnailsFolder() const;

private:
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
