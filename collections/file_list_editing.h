#pragma once

#include "collections/library_page.h"

class Dialogs;
class FileOpener;

// What the user does to the file list itself. Rows are 0-based data rows and a selection is
// `count` rows from `first`. Book files on disk are never touched.

// Delete in the file list: after a Yes, the selected books leave the list and the collections
// they were in count them no more; the first book and the first collection are then selected
// and that collection's books shown. The editing page's list holds the reader's files, which
// cannot be removed there: it ignores Delete.
PageUpdate removeFileListRows(LibraryPage &page, Dialogs &dialogs, int first, int count);

// Double click on a file-list row: opens the book with the program the desktop associates with
// its type. Only an existing regular file of one of the four book kinds is opened (the editing
// page's paths come from the reader's database, and a record naming a program must not start
// it); anything else, a file gone from the disk included, opens nothing and says nothing.
// `readerRootNow` is where the reader is attached now, when it is: a book of a library loaded
// from it is looked for there, though the reader came back under another root (another drive
// letter) since the load.
void openFileListBook(const LibraryPage &page, FileOpener &opener, int row, const QString &readerRootNow = {});

// Where the file of a book at `fullPath` is now: below `readerRootNow` when the page's library was
// loaded from a reader that came back under another root since; elsewhere where it was.
QString bookFileNow(const LibraryPage &page, const QString &fullPath, const QString &readerRootNow);
