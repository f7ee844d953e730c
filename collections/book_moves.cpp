#include "collections/book_moves.h"

#include "collections/book_memberships.h"
#include "collections/selection_range.h"
#include "collections/shown_books.h"
#include "core/prefetch_ahead.h"

#include <QHash>
#include <QSet>

#include <utility>

namespace {
// A collection whose name is empty has no members, so no book can join it: its count would
// rise while the books fell out of every collection.
bool takesBooks(const LibraryPage &page, int row)
{
    return row >= 0 && row < page.collections.rowCount() && !page.collections.row(row).name.isEmpty();
}

// Books moving into one collection: how many left each collection name and how many arrived.
class BookMove
{
public:
    explicit BookMove(QString target) : m_target(std::move(target)) {}

    // Moves the book's membership of `from`, or its cell's when `from` is empty.
    void move(BookRow &book, const QString &from)
    {
        const QString left = from.isEmpty() ? book.collection : from;
        if (moveMembership(book, from, m_target))
            ++m_arriving;
        if (!left.isEmpty() && left != m_target)
            ++m_leaving[left];
    }

    // Each collection's count moves once by its net change, so a book that was already in the
    // target leaves the target's count as it was. Every row bearing a name the books left
    // counts down, as names may repeat in a list loaded from a reader.
    void adjustCounts(CollectionTable &collections, int targetRow) const
    {
        QVector<int> deltas(collections.rowCount(), 0);
        if (!m_leaving.isEmpty()) {
            for (int row = 0; row < collections.rowCount(); ++row)
                deltas[row] = -m_leaving.value(collections.row(row).name);
        }
        deltas[targetRow] += m_arriving;
        collections.adjustBookCounts(deltas);
    }

private:
    // Shared by every moved book's cell.
    const QString m_target;
    QHash<QString, int> m_leaving;
    int m_arriving = 0;
};

void moveFileListRows(LibraryPage &page, int first, int count, int targetRow)
{
    BookMove move(page.collections.row(targetRow).name);
    for (int row = first; row < first + count; ++row) {
        prefetchAhead(page.books.rows(), row, &BookRow::collection);
        move.move(page.books.rowForQuietEdit(row), QString());
    }
    page.books.announceAllRowsChanged();
    move.adjustCounts(page.collections, targetRow);
}

// A book-list row stands for the file-list row with its `full_path`: one pass over the file
// list with the dragged paths at hand, whatever the number of books dragged. Each book's
// membership of the shown collection moves, its others stay.
void moveShownBooks(LibraryPage &page, int first, int count, int targetRow)
{
    const int shown = page.shownBooks.shown_collection_row;
    const QString from =
        shown >= 0 && shown < page.collections.rowCount() ? page.collections.row(shown).name : QString();
    QSet<QString> paths;
    paths.reserve(count);
    for (int row = first; row < first + count; ++row)
        paths.insert(page.shownBooks.row(row).full_path);
    BookMove move(page.collections.row(targetRow).name);
    for (int row = 0; row < page.books.rowCount(); ++row) {
        prefetchAhead(page.books.rows(), row, &BookRow::full_path);
        if (paths.contains(page.books.row(row).full_path))
            move.move(page.books.rowForQuietEdit(row), from);
    }
    page.books.announceAllRowsChanged();
    move.adjustCounts(page.collections, targetRow);
}

// A book in several collections: its memberships of the merged ones become one of the target,
// where the first of them was. Returns whether the target gained the book.
bool mergeMemberships(BookRow &book, const QSet<QString> &merged, const QString &target)
{
    QStringList memberships = book.other_collections;
    memberships.prepend(book.collection);
    bool inTarget = memberships.contains(target);
    const bool wasInTarget = inTarget;
    QStringList kept;
    for (const QString &name : std::as_const(memberships)) {
        if (!merged.contains(name))
            kept << name;
        else if (!std::exchange(inTarget, true))
            kept << target;
    }
    book.collection = kept.takeFirst();
    book.other_collections = kept;
    return inTarget && !wasInTarget;
}

// The books of the merged collections join the target in one pass over the file list; the
// merged rows go. Returns the target's row once they are gone.
int mergeCollections(LibraryPage &page, int first, int count, int targetRow)
{
    const QString target = page.collections.row(targetRow).name;
    // A merged row without a name has no books; one bearing the target's name holds books
    // that are in the target already and must not count twice.
    QSet<QString> merged;
    for (int row = first; row < first + count; ++row) {
        const QString &name = page.collections.row(row).name;
        if (!name.isEmpty() && name != target)
            merged.insert(name);
    }
    int arrived = 0;
    for (int row = 0; row < page.books.rowCount(); ++row) {
        prefetchAhead(page.books.rows(), row, &BookRow::collection);
        const BookRow &book = page.books.row(row);
        if (book.collection.isEmpty())
            continue;
        if (book.other_collections.isEmpty()) {
            if (!merged.contains(book.collection))
                continue;
            page.books.rowForQuietEdit(row).collection = target;
            ++arrived;
        } else if (mergeMemberships(page.books.rowForQuietEdit(row), merged, target)) {
            ++arrived;
        }
    }
    page.books.announceAllRowsChanged();
    page.collections.adjustBookCount(targetRow, arrived);
    // One reset renumbers the rows that stay. The target stands for the reader's collections
    // merged into it from now on, so their other memberships follow it to the reader.
    QVector<CollectionRow> remaining = page.collections.rows();
    for (int row = first; row < first + count; ++row)
        remaining[targetRow].takeRecordsOf(remaining.at(row));
    remaining.remove(first, count);
    page.collections.replaceRows(std::move(remaining));
    return targetRow > first ? targetRow - count : targetRow;
}
} // namespace

bool collectionListAcceptsDrop(const LibraryPage &page, DragSource source, int targetRow, int selectedFirst,
                               int selectedCount)
{
    if (targetRow == NoRowUnderPointer)
        return true;
    if (!takesBooks(page, targetRow))
        return false;
    const bool targetSelected = targetRow >= selectedFirst && targetRow < selectedFirst + selectedCount;
    return source == DragSource::FileList || !targetSelected;
}

bool bookListAcceptsDrop(const LibraryPage &page, DragSource source)
{
    return source == DragSource::FileList && takesBooks(page, page.shownBooks.shown_collection_row);
}

PageUpdate dropOnCollection(LibraryPage &page, DragSource source, int first, int count, int targetRow)
{
    if (!takesBooks(page, targetRow))
        return {};
    switch (source) {
    case DragSource::FileList:
        if (!clipSelection(first, count, page.books.rowCount()))
            return {};
        moveFileListRows(page, first, count, targetRow);
        break;
    case DragSource::BookList:
        if (!clipSelection(first, count, page.shownBooks.rowCount()))
            return {};
        moveShownBooks(page, first, count, targetRow);
        break;
    case DragSource::CollectionList:
        // A collection merged into itself would lose its row while its books kept its name.
        if (!clipSelection(first, count, page.collections.rowCount()) ||
            (targetRow >= first && targetRow < first + count))
            return {};
        targetRow = mergeCollections(page, first, count, targetRow);
        break;
    }
    PageUpdate update = showCollectionBooks(page, targetRow);
    update.selectCollectionRow = targetRow;
    return update;
}

PageUpdate dropOnBookList(LibraryPage &page, DragSource source, int first, int count)
{
    if (!bookListAcceptsDrop(page, source) || !clipSelection(first, count, page.books.rowCount()))
        return {};
    const int shown = page.shownBooks.shown_collection_row;
    moveFileListRows(page, first, count, shown);
    return showCollectionBooks(page, shown);
}
