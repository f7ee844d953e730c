#pragma once

#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "collections/shown_books_table.h"
#include "reader/loaded_library.h"

// What either page of the main window holds: its file list, collection list and the
// books of the collection shown. The two pages differ only by `kind`.
struct LibraryPage
{
    enum class Kind { Creation, Editing };

    explicit LibraryPage(Kind pageKind) : kind(pageKind), shownBooks(books) {}

    // Only the creation page's file list removes rows on Delete; the editing page cannot
    // add or remove the reader's files.
    bool fileListTakesDelete() const { return kind == Kind::Creation; }

    Kind kind;
    BookTable books;
    CollectionTable collections;
    ShownBooksTable shownBooks;
    // Editing page: the reader's library as loaded, beyond the rows, for writing it back;
    // emptied with the page.
    LoadedLibrary reader;
    // Editing page: the rows as loaded, which tell what the page has changed since.
    QVector<BookRow> loadedBooks;
    QVector<CollectionRow> loadedCollections;

    // Remembers the rows now shown as the rows loaded.
    void rememberLoadedRows();
};

// Whether closing would lose the user's work on the page: on the creation page any book or
// collection, none of which is on a reader before its synchronisation; on the editing page
// any change to the rows loaded (a sort of the file list changes none).
bool holdsUnsavedWork(const LibraryPage &page);

// What an operation on a page asks of the window once it is done. Rows are 0-based.
struct PageUpdate
{
    bool rerunStatistics = false; // run updateStatistics(page) and show its result
    int selectFileRow = -1;       // select this file-list row alone; -1 leaves the selection
    int selectCollectionRow = -1; // select this collection-list row alone; -1 leaves the selection
    int selectShownBookRow = -1;  // select this book-list row alone; -1 leaves the selection
};

// Empties the page as a switch of mode does: file list, book list, collection list, then
// what was kept of a loaded reader's library.
void emptyLibraryPage(LibraryPage &page);
