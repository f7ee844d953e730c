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
// reader now at `deviceRoot` (which may have been attached again under another root):
//  - a book is in the collection the page shows for it: the row of that name, the one holding
//    the collection it was loaded in where names repeat, keeping that membership's order;
//  - each other membership it was loaded with is carried to the row that holds its collection
//    (renamed or merged into another), and goes with a collection no row holds any more;
//  - a book keeps its thumbnail, or has its cover made from its file at the current root.
WriteBackPlan planWriteBack(const LoadedLibrary &loaded, const QVector<BookRow> &books,
                            const QVector<CollectionRow> &collections, const QString &deviceRoot);
