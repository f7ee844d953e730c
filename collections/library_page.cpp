#include "collections/library_page.h"

#include "core/freed_memory.h"

#include <QHash>

void emptyLibraryPage(LibraryPage &page)
{
    page.books.clear();
    page.shownBooks.empty();
    page.collections.clear();
    page.reader.clear();
    page.loadedBooks = {};
    page.loadedCollections = {};
    returnFreedMemory();
}

void LibraryPage::rememberLoadedRows()
{
    // The lists share their rows with these copies until an edit changes them.
    loadedBooks = books.rows();
    loadedCollections = collections.rows();
}

namespace {
// The same rows, in any order: each book is found by its record id, which the reader keeps unique.
bool sameBooksInAnyOrder(const QVector<BookRow> &books, const QVector<BookRow> &loaded)
{
    if (books.size() != loaded.size())
        return false;
    QHash<QString, int> loadedRowOf;
    loadedRowOf.reserve(loaded.size());
    for (int row = 0; row < loaded.size(); ++row)
        loadedRowOf.insert(loaded.at(row).record_id, row);
    // Ids that repeat cannot tell rows apart: the page counts as changed.
    if (loadedRowOf.size() != loaded.size())
        return false;
    for (const BookRow &book : books) {
        const auto found = loadedRowOf.constFind(book.record_id);
        if (found == loadedRowOf.cend() || loaded.at(*found) != book)
            return false;
    }
    return true;
}
} // namespace

bool holdsUnsavedWork(const LibraryPage &page)
{
    if (page.kind == LibraryPage::Kind::Creation)
        return page.books.rowCount() > 0 || page.collections.rowCount() > 0;
    if (page.reader.isEmpty())
        return false;
    if (page.collections.rows() != page.loadedCollections)
        return true;
    return page.books.rows() != page.loadedBooks && !sameBooksInAnyOrder(page.books.rows(), page.loadedBooks);
}
