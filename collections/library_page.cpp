#include "collections/library_page.h"

#include "collections/shown_books.h"
#include "core/freed_memory.h"

void emptyLibraryPage(LibraryPage &page)
{
    page.books.clear();
    clearShownBooks(page);
    page.collections.clear();
    page.reader.clear();
    returnFreedMemory();
}
