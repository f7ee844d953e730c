#include "collections/library_page.h"

#include "core/freed_memory.h"

void emptyLibraryPage(LibraryPage &page)
{
    page.books.clear();
    page.shownBooks.empty();
    page.collections.clear();
    page.reader.clear();
    returnFreedMemory();
}
