#pragma once

#include "reader/folder_clearing.h"
#include "reader/reader_database.h"
#include "sync/thumbnail_staging.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

class BookTable;
class CollectionTable;
class FileOperations;
class Progress;
struct WriteBack;

// Where the thumbnail of a book being written comes from.
struct ThumbnailOrigin
{
    qint64 previousRecord = 0; // a record of the reader's previous library for the same file, whose thumbnail moves
    QString bookFile;          // otherwise the cover is made from this file
};

// The steps both synchronisations share, in the order that keeps the reader sound whatever stops a
// run (an error, a kill, a pulled cable, a full volume): at every moment books.db is whole, each of
// its records names a file with that book's bytes, and its thumbnail is that book's cover or none.
//  1. open: books.db is opened, checked and locked before anything on the reader changes, and
//     whatever a run that stopped half-way left is put right;
//  2. withdraw: a database that no longer lists the books whose files are about to go or change
//     is committed, and is on the medium before any file is touched;
//  3. the caller's own work on the book files (the creation page deletes, moves and copies them);
//  4. clearThumbnails: the thumbnails of the records that go are deleted;
//  5. rebuild: the new library, its thumbnails made where no previous record points, committed
//     once the files it names are on the medium;
//  6. finish: the new thumbnails take the old ones' place, books.db is closed, the volume flushed.
// When a step throws, abandon() undoes what can be undone; the reader stays sound either way.
// Only one object at a time works on a reader: the database's lock keeps a second one out.
class ReaderSync
{
public:
    ReaderSync(const QString &deviceRoot, FileOperations &files, Progress &progress);
    // A run that did not finish is abandoned.
    ~ReaderSync();

    // Throws TessalyError with the user's message when books.db cannot serve; nothing has changed then.
    void open();
    const QVector<PreviousBook> &previousBooks() const { return m_database->previousBooks(); }
    // Folders where books that a stopped run set aside stay because their places are taken.
    const QStringList &foldersLeftAside() const { return m_foldersLeftAside; }

    // The reader's books.db, open and locked, once open() has succeeded.
    SqliteConnection &database() { return m_database->connection(); }

    void withdraw(const QSet<qint64> &recordsStaying);
    // In place of withdraw() for a run that changes no book file: nothing is written, and the
    // database stays locked against other programs' writes.
    void keepEveryBook();
    // `thumbnailsTakenOver`: previous records whose thumbnail a book of the new library takes.
    void clearThumbnails(const QSet<qint64> &thumbnailsTakenOver);
    // The bytes that clearing frees.
    qint64 bytesFreedInThumbnails(const QSet<qint64> &thumbnailsTakenOver) const;
    // Rebuilds books.db from `books` and `collections` (see rebuildLibrary) with the progress
    // of its phases; `thumbnails` has one origin per book row. `movedPaths` maps the stored
    // file_path of previous records whose file moved on the reader to where it is now;
    // `writeBack` is given when the library written is one loaded from this reader.
    void rebuild(BookTable &books, CollectionTable &collections, const QVector<ThumbnailOrigin> &thumbnails,
                 const QHash<QByteArray, QByteArray> &movedPaths = {}, const WriteBack *writeBack = nullptr);
    void finish();
    void abandon();

    // Lets the progress window repaint: for each sub-folder a clearing enters.
    std::function<void()> turn();

private:
    KeepEntry keepsThumbnails(const QSet<qint64> &thumbnailsTakenOver) const;
    void writeThumbnail(const QString &recordId, const ThumbnailOrigin &origin);

    QString m_deviceRoot;
    FileOperations &m_files;
    Progress &m_progress;
    std::unique_ptr<ReaderDatabase> m_database;
    ThumbnailStaging m_thumbnails;
    QStringList m_foldersLeftAside;
};

// The main bar of a synchronisation at `position`; an empty caption keeps the previous one.
void syncPhase(Progress &progress, int position, const QString &caption = {});
