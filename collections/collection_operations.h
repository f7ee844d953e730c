#pragma once

#include "collections/library_page.h"

class Dialogs;

// The hand operations on a page's collection list. They act alike on both pages; rows
// are 0-based data rows and a selection is `count` rows from `first`.

// The add button: asks for a name and appends an empty collection.
PageUpdate addCollection(LibraryPage &page, Dialogs &dialogs);
// Double click on a collection: asks for a new name and moves its books to it.
PageUpdate renameCollection(LibraryPage &page, Dialogs &dialogs, int row);
// Delete in the collection list: after a Yes, the selected collections go and their books
// stay in the file list in no collection; the first remaining collection is then shown.
PageUpdate deleteCollections(LibraryPage &page, Dialogs &dialogs, int first, int count);

// The collection list's headers, widths and alignments for the page.
void applyCollectionListLayout(LibraryPage &page);
