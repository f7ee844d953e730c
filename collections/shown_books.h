#pragma once

#include "collections/library_page.h"

class Dialogs;

// The book list of a page: the members of one collection, in file-list order. Rows are
// 0-based data rows and a selection is `count` rows from `first`.

// Click on a collection (also run after drops, deletions and automatic builds): lists
// its books and remembers the row in `shown_collection_row`.
PageUpdate showCollectionBooks(LibraryPage &page, int collectionRow);
// Double click on a book: asks for a new title and gives it to every book of the old
// title, in any collection or none.
PageUpdate renameBook(LibraryPage &page, Dialogs &dialogs, int row);
// Delete in the book list: after a Yes, the selected books leave the shown collection
// and stay in the file list.
PageUpdate removeShownBooks(LibraryPage &page, Dialogs &dialogs, int first, int count);
