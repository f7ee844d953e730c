#pragma once

#include "booklist/book_row.h"
#include "core/file_facts.h"
#include "reader/reader_database.h"

#include <QHash>
#include <QSet>
#include <QVector>

// How one chosen book of the creation page reaches its place on the reader.
enum class Placement {
    Keep,      // the reader has it there already: same size and modification time
    Move,      // it lies elsewhere in the reader's own folders: renamed to its place
    Copy,      // copied from `source`
    Displaced, // a later book goes to the same place: it is not written
};

// A book of the reader's own folders that loses its place to a later book is set aside on the
// reader rather than deleted with the old library.

struct BookPlacement
{
    Placement how = Placement::Copy;
    QString source;            // what is read or moved: for a book on the reader, the file its links reach
    bool setAside = false;     // Move, or Displaced from the reader's folders: renamed out of the way first
    QString destination;       // its place on the reader
    qint64 bytes = 0;          // the source's size, when it is there
    qint64 previousRecord = 0; // the reader's record of this very file, whose thumbnail it takes over; 0: none
};

struct PlacementPlan
{
    QVector<BookPlacement> books;             // one per book row
    QSet<FileIdentity> filesStaying;          // the reader's files that stay where they are
    QSet<FileIdentity> filesMoving;           // the reader's files that move to another place there
    QSet<qint64> recordsStaying;              // previous records whose file stays where it is
    QSet<qint64> thumbnailsTakenOver;         // previous records whose thumbnail a book takes over
    QHash<QByteArray, QByteArray> movedPaths; // a previous record's stored file_path -> where its file goes
    qint64 bytesOnReader = 0;                 // of the books kept or moved: already on the reader
};

// Decides for each of `books` (the rows about to be written) whether it is kept, moved or copied,
// judging by the files themselves, so that the reader's copy of a book that did not change stays
// untouched, and a book chosen from the reader's own folders is never deleted before it is placed.
PlacementPlan planPlacements(const QString &deviceRoot, const QVector<BookRow> &books,
                             const QVector<PreviousBook> &previous);
