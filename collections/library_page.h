#pragma once

#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "collections/shown_books_table.h"

// What either page of the main window holds: its file list, collection list and the
// books of the collection shown. The two pages differ only by `kind`.
struct LibraryPage
{
    enum class Kind { Creation, Editing };

    explicit LibraryPage(Kind pageKind) : kind(pageKind) {}

    Kind kind;
    BookTable books;
    CollectionTable collections;
    ShownBooksTable shownBooks;
};
