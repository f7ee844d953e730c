#pragma once

#include <QByteArray>
#include <QHash>

class SqliteConnection;

// The reader's notes, bookmarks and drawings point at books by content_id. A rebuild numbers
// the books afresh, so these rows are moved to the new number of the same book file.
namespace ReaderNotes {

// The books of the library about to be replaced that notes point at: each one's _id and its
// stored file_path (UTF-8), taken from the books table and from the books an interrupted
// synchronisation had withdrawn.
QHash<qint64, QByteArray> readNotedBookPaths(SqliteConnection &database);

// Remembers books withdrawn from the books table (_id -> file_path) while their notes stay, so a
// later rebuild still finds the notes' books. Runs inside the caller's transaction.
void rememberWithdrawn(SqliteConnection &database, const QHash<qint64, QByteArray> &withdrawn);

// Points every note at `newIds[its former book]`, and deletes the notes whose book is no longer
// in the library. Notes without a content_id stay as they are. The withdrawn books are
// forgotten: the library is whole again.
void repoint(SqliteConnection &database, const QHash<qint64, qint64> &newIds);

} // namespace ReaderNotes
