#pragma once

#include "booklist/book_row.h"
#include "core/file_facts.h"
#include "reader/previous_book.h"

#include <QHash>
#include <QSet>
#include <QVector>

// How one chosen book of the creation page reaches its place on the reader.
enum class Placement {
    Keep,      // the reader has it there already: same size and modification time
    Copy,      // copied from `source`, which may be a file of the reader's own
    Displaced, // a later book goes to the same place: it is not written
};

struct BookPlacement
{
    Placement how = Placement::Copy;
    QString source;          // what is read: for a book on the reader, the file its links reach
    QString destination;     // its place on the reader
    qint64 bytes = 0;        // the source's size, when it is there
    qint64 keptRecord = 0;   // Keep: the reader's record of this very file, which stays; 0: none
    PreviousBook previous;   // Copy of a file of the reader's: a record of it, whose thumbnail it takes; id 0: none
    bool fromReader = false; // the source is a file of the reader's folders
};

struct PlacementPlan
{
    QVector<BookPlacement> books;             // one per book row
    QHash<QByteArray, QByteArray> movedPaths; // a previous record's stored file_path -> where its file goes
    qint64 bytesKept = 0;                     // of the books kept: already on the reader
};

// Decides for each of `books` (the rows about to be written) whether it is kept or copied, judging
// by the files themselves, so that the reader's copy of a book that did not change stays untouched
// with its record, and a book chosen from the reader's own folders is copied to its new place.
PlacementPlan planPlacements(const QString &deviceRoot, const QVector<BookRow> &books,
                             const QVector<PreviousBook> &previous);
