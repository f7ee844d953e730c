#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class FileOperations;
class SqliteConnection;
class SqliteRow;
class ThumbnailFolders;

// What one synchronisation changes on the reader besides books.db, written there before its first
// change and removed after its last. books.db changes in one commit; the journal tells the next run
// what of the files belongs to the library committed and what to a run that never got there, so
// that it can finish the one or undo the other. Paths are stored ones: relative to the device root,
// forward slashes, as the reader may come back under another root.
struct SyncJournal
{
    QVector<qint64> newBooks;                     // ids the new library's added records take
    QVector<qint64> goneBooks;                    // ids of the records it drops
    QStringList written;                          // files written where no record of the old library points
    QVector<std::pair<QString, QString>> renames; // a file written under a name of its own -> its place
    QStringList kept;                             // files of the books folder that stay though no record lists them
    bool clearsBooksFolder = false;               // once committed, files of the books folder no record lists go

    QByteArray toBytes() const;
    // Nothing for a journal cut short: the run stopped before its first change.
    static std::optional<SyncJournal> fromBytes(const QByteArray &bytes);
};

// The reader's library as its books.db lists it at this moment.
struct ListedLibrary
{
    std::vector<qint64> ids; // ascending
    QSet<QString> paths;     // stored file_path, case-folded: the reader's volume ignores case

    // Without `withPaths` the paths are not kept: enough for a run that clears no books folder.
    // `each`, when given, also sees every row read (_id, file_path, thumbnail).
    static ListedLibrary read(SqliteConnection &database, bool withPaths = true,
                              const std::function<void(const SqliteRow &)> &each = {});
    bool lists(const QString &storedPath) const { return paths.contains(storedPath.toCaseFolded()); }
    bool listsId(qint64 id) const { return std::binary_search(ids.cbegin(), ids.cend(), id); }
};

namespace SyncJournalFile {
QString path(const QString &deviceRoot);
bool exists(const QString &deviceRoot);
// Writes the journal whole and puts it on the medium before anything else changes.
bool write(const QString &deviceRoot, FileOperations &files, const SyncJournal &journal);
// Removes it and puts that on the medium.
bool remove(const QString &deviceRoot, FileOperations &files);
} // namespace SyncJournalFile

// Whether the library `journal` describes is the one committed.
bool isCommitted(const SyncJournal &journal, const ListedLibrary &listed);

// After the commit: the files written under names of their own take their places, and what only the
// old library used goes (the thumbnails of records no longer listed; with the books folder cleared,
// its files that no record lists and `journal.kept` does not hold). No file a record lists is ever
// deleted. True when every file reached its place. `folders` is the thumbnails folder as listed
// now or before the run: a run makes folders only for records it lists. `turn` runs before each
// folder is entered.
bool completeSync(const QString &deviceRoot, FileOperations &files, const SyncJournal &journal,
                  const ListedLibrary &listed, const ThumbnailFolders &folders, const std::function<void()> &turn = {});

// Without the commit: what the run wrote goes, the old library's files stay as they are. True when
// nothing of the run is left.
bool undoSync(const QString &deviceRoot, FileOperations &files, const SyncJournal &journal,
              const ListedLibrary &listed);

// Finishes or undoes a synchronisation that the journal on the reader shows was interrupted, judging
// by `database` (the reader's books.db, open), then removes the journal. True when there was none
// or it is done with; false when the reader still needs it (a file could not be moved or deleted).
bool recoverInterruptedSync(const QString &deviceRoot, FileOperations &files, SqliteConnection &database,
                            const std::function<void()> &turn = {});

// What the user is told when a run that stopped half-way cannot be finished or undone.
QString interruptedSyncNotRepairedMessage();
