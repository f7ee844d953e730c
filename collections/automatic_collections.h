#pragma once

#include "collections/library_page.h"

#include <QChar>
#include <QString>

struct BookFormats;
class Dialogs;
class Progress;

// The characters that part folders in a page's paths: the platform's own separator, and
// also "/" where the paths come from the reader, which stores forward slashes.
struct PathSeparators
{
    QChar native;
    bool slash = false;
};

// The collection a book gets from its folder: the name of the folder it was added with
// (`root`), then each sub-folder between it and the book, joined by "_", every ":" removed.
// A root ending in separators names the folder before them; a whole volume has no folder
// name, so a drive takes its letter ("D:\" gives "D", as the books' paths on the reader begin)
// and the file-system root "/" gives the sub-folders alone. A `full_path` that does not lie
// below `root` counts as lying directly in it; doubled separators are one. Empty when
// nothing names the book's folder (a book directly in "/").
QString folderCollectionName(const QString &root, const QString &fullPath, PathSeparators separators);

// What the automatic build names collections after: the books' folders, or what a book says
// of itself (its series, its author), without the blanks around it. A book that says nothing
// of it goes into the collection of its folder.
enum class CollectionSource { Folders, Series, Authors };

// The automatic button of either page: every book gets the collection named after its folder,
// and the collection list is rebuilt from the names in the user's collation order, ignoring
// letter case, with the number of books of each; the first collection is then shown. Names
// that differ only in letter case are one collection named in the form met first in the file
// list, and every book of either form is given that form; an empty name is no collection.
// An empty file list is refused with the page's own message.
PageUpdate buildFolderCollections(LibraryPage &page, Dialogs &dialogs);
// The same build naming the collections after `source`; a collection holding a book by its
// series is marked to keep its books in their series' order on the reader.
PageUpdate buildAutomaticCollections(LibraryPage &page, Dialogs &dialogs, CollectionSource source);

// The reader's database keeps no series: before the editing page builds by series, the heads of
// its FB2 books, and of its EPUB books with `formats` switched on, are read where the reader is
// attached now (`readerRootNow`; empty when it is not, and the files are looked for where they
// were loaded from), under the progress window. Returns the files that could not be read; their
// books go by their folders.
QStringList readSeriesOnReader(LibraryPage &page, Progress &progress, const BookFormats &formats,
                               const QString &readerRootNow);
