#pragma once

#include <QByteArray>
#include <QHash>

class SqliteConnection;

// The reader's notes, bookmarks, drawings, reading positions and history point at books by
// content_id. A book that stays keeps its record; a book whose record is replaced (its file moved
// or changed) has these rows moved to the new record of the same book file.
namespace ReaderNotes {

// The books of the library about to be replaced that notes point at: each one's _id and its
// stored file_path (UTF-8).
QHash<qint64, QByteArray> readNotedBookPaths(SqliteConnection &database);

// Points every note at `newIds[its former book]`, and deletes the notes whose book is no longer
// in the library. Notes without a content_id stay as they are.
void repoint(SqliteConnection &database, const QHash<qint64, qint64> &newIds);

} // namespace ReaderNotes
