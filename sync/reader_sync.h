#pragma once

#include "covers/book_formats.h"
#include "reader/library_rebuild.h"
#include "reader/reader_database.h"
#include "reader/sync_journal.h"
#include "reader/thumbnail_folders.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <future>
#include <memory>
#include <optional>

class BookTable;
class CollectionTable;
class FileOperations;
class Progress;
struct WriteBack;

// Where the thumbnail of a book being written comes from.
struct ThumbnailOrigin
{
    // The stored thumbnail of a record of the reader's previous library for the same file,
    // copied when it is there; otherwise the cover is made from the book file.
    QByteArray previousThumbnail;
    QString bookFile;
};

// The steps both synchronisations share. The reader lists a whole library at every moment: the
// old one until the one commit of books.db, the new one after it. Until then nothing the old
// library uses changes: new files go where no record points or under names of their own, and the
// new records' thumbnails into folders of ids never given before. The journal tells whatever
// stops a run (an error, a kill, a pulled cable, a full volume) what to finish or undo.
//  1. open: books.db is opened and locked, its check starts, and a run that stopped half-way is
//     finished or undone (on a database found sound);
//  2. begin: the journal of what the run is about to write is on the medium;
//  3. the caller writes the book files (the creation page's copies);
//  4. rebuild: the new library, with the thumbnails of its records, committed once what it names
//     is on the medium;
//  5. finish: the files take their places, what only the old library used goes, and what the
//     library names is checked to be there; the volume is flushed.
// When a step throws, abandon() undoes what the run wrote. Only one object at a time works on a
// reader: the database's lock keeps a second one out.
class ReaderSync
{
public:
    // `formats` says which covers beyond FB2 books' own the thumbnails made take.
    ReaderSync(const QString &deviceRoot, FileOperations &files, Progress &progress, const BookFormats &formats = {});
    // A run that did not finish is abandoned.
    ~ReaderSync();

    // Throws TessalyError with the user's message when books.db cannot serve or a stopped run
    // cannot be put right; nothing has changed then. A books.db whose digest is `soundDigest`
    // was found sound before and is not checked again.
    void open(std::optional<quint64> soundDigest = {});
    // After open(), the books the library holds: read, throwing TessalyError with the user's
    // message when they cannot be; or taken as a page loaded them, databaseDigest() being the
    // loaded file's.
    void readBooks();
    void takeBooks(QVector<PreviousBook> books) { m_database->takeBooks(std::move(books)); }
    const QVector<PreviousBook> &previousBooks() const { return m_database->previousBooks(); }
    const LoadedBookPaths &bookPaths() const { return m_database->bookPaths(); }
    // The fileContentDigest() of books.db as open() found and locked it; nothing when it cannot be read.
    const std::optional<quint64> &databaseDigest() const { return m_database->digest(); }
    // The reader's books.db, open and locked, once open() has succeeded.
    SqliteConnection &database() { return m_database->connection(); }
    // Whether a record of the library found, stored with `thumbnail`, keeps the thumbnail it has
    // rather than getting one written: the reader may have made it itself.
    bool keepsThumbnail(qint64 id, QStringView recordId, QByteArrayView thumbnail) const;
    // The id the first book record added takes.
    qint64 nextBookId();

    // Waits for the check of books.db that open() started: throws TessalyError with the user's
    // message when it is damaged. begin() waits for it too; whatever changes before, the reader or
    // the page, comes after it.
    void requireSound() { m_database->requireSound(); }
    // Throws TessalyError when the journal cannot be written; nothing has changed then.
    void begin(const SyncJournal &journal);
    // Writes `books` and `collections` as the reader's library (see rebuildLibrary) with the
    // progress of its phases; `thumbnails` has one origin per book row. `movedPaths` maps the
    // stored file_path of previous records whose file is copied to another place on the reader to
    // that place; `writeBack` is given when the library written is one loaded from this reader.
    // `completePlan`, when given, runs once the books' records are written and before anything
    // reads `thumbnails` or the memberships of `writeBack`: they may be in the making until then.
    void rebuild(BookTable &books, CollectionTable &collections, const QVector<ThumbnailOrigin> &thumbnails,
                 const QHash<QByteArray, QByteArray> &movedPaths = {}, const WriteBack *writeBack = nullptr,
                 const std::function<void()> &completePlan = {});
    // After the rebuild: `kept` are the reader's files that stay though the library does not list
    // them (books of the page that were not written). True when every file and thumbnail the
    // library names is in place; otherwise the journal stays for the next run to complete.
    bool finish(const QStringList &kept);
    void abandon();

    // Lets the progress window repaint: for each sub-folder a clearing enters.
    std::function<void()> turn();

private:
    ThumbnailOutcome writeThumbnail(const ThumbnailJob &job, const ThumbnailOrigin &origin);
    // The library committed, as completeSync() needs it; `toLookFor` gets the stored paths of the
    // files that must be on the reader once the run is complete.
    ListedLibrary committedLibrary(bool withPaths, QStringList &toLookFor) const;
    bool allOnDevice(const QStringList &storedPaths) const;

    QString m_deviceRoot;
    FileOperations &m_files;
    Progress &m_progress;
    BookFormats m_formats;
    std::unique_ptr<ReaderDatabase> m_database;
    std::optional<SyncJournal> m_journal; // once begun, until done with
    // The thumbnails folder as open() found it: listed while the books are read, or when first
    // asked for where they were taken as loaded.
    const ThumbnailFolders &thumbnailFolders() const;
    mutable std::future<ThumbnailFolders> m_listing;
    mutable std::optional<ThumbnailFolders> m_thumbnailFolders;
    mutable QHash<QByteArray, bool> m_thumbnailsElsewhere; // thumbnails stored outside their folder: whether there
    std::optional<WrittenBooks> m_written;                 // the records the rebuild committed
    std::vector<bool> m_thumbnailsInPlace; // per book row, whether its thumbnail was found or written in its own folder
};

// The main bar of a synchronisation at `position`; an empty caption keeps the previous one.
void syncPhase(Progress &progress, int position, const QString &caption = {});
