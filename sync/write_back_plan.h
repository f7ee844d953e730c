#pragma once

#include "collections/collection_table.h"
#include "reader/library_rebuild.h"
#include "sync/reader_sync.h"

#include <QString>
#include <QVector>

class LoadedLibrary;

// What writing the editing page's library back to its reader takes besides the page's rows.
struct WriteBackPlan
{
    WriteBack writeBack;
    QVector<ThumbnailOrigin> thumbnails; // per book row
};

// Plans the write-back of `books` and `collections`, the page's rows, loaded as `loaded`, to the
// reader now at `deviceRoot` (which may have been attached again under another root), open in
// `sync` and holding the books as loaded:
//  - a book is in exactly the collections the page holds it in, its cell's and its others: a
//    membership it was loaded with keeps its order in the row that holds its collection now
//    (renamed or merged into another; where names repeat, the one holding it), and one that
//    no row holds any more goes; one made on the page goes to the first row of its name;
//  - a book keeps its thumbnail, or has its cover made from its file at the current root.
WriteBackPlan planWriteBack(const LoadedLibrary &loaded, const QVector<BookRow> &books,
                            const QVector<CollectionRow> &collections, const QString &deviceRoot,
                            const ReaderSync &sync);
