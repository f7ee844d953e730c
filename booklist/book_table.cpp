#include "booklist/book_table.h"

#include "booklist/cell_sort_keys.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

BookTable::BookTable(QObject *parent) : RowGridModel<BookRow>(BookColumnCount, parent)
{}

QString BookTable::cellText(int row, int column) const
{
    return bookCellText(this->row(row), column);
}

void BookTable::setCellText(int row, int column, const QString &text)
{
    updateRow(row, [&](BookRow &book) { setBookCellText(book, column, text); });
}

void BookTable::beginBulk()
{
    ++m_bulkDepth;
}

void BookTable::endBulk()
{
    if (m_bulkDepth == 0 || --m_bulkDepth > 0)
        return;
    appendRows(std::exchange(m_pending, {}));
}

void BookTable::append(const BookRow &row)
{
    if (inBulk())
        m_pending.append(row);
    else
        appendRow(row);
}

void BookTable::announceAllRowsChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, BookColumnCount - 1));
}

void BookTable::announceAllRowsChanged(BookCollectionSummary summary)
{
    m_summary = std::move(summary);
    m_summaryRevision = revision();
    m_editedRows.clear();
    announceAllRowsChanged();
}

void BookTable::append(BookRow &&row)
{
    if (inBulk())
        m_pending.append(std::move(row));
    else
        appendRow(row);
}

namespace {
CellSortKey bookSortKey(const BookRow &book, int column, int row)
{
    // The size's number is already in the row: no need to read its text.
    if (column == FileSizeColumn && book.file_size.isPlainDigits())
        return CellSortKey{
            .number = double(book.file_size.bytes()), .text = &book.file_size.text(), .isNumber = true, .row = row};
    return cellSortKey(bookCellText(book, column), row);
}

// Puts row keys[i].row at place i, moving each row once, in place: rows are relocatable, so
// they move as plain bytes, a cycle of places at a time. The rows a cycle reaches next are
// fetched ahead, as each sits somewhere else in memory. A place filled is marked by its key
// naming it.
void placeRows(BookRow *books, QVector<CellSortKey> &keys)
{
    static_assert(QTypeInfo<BookRow>::isRelocatable);
    constexpr int FetchAhead = 8;
    const auto fetch = [books](int row) {
#if defined(__GNUC__)
        const char *bytes = reinterpret_cast<const char *>(books + row);
        for (std::size_t line = 0; line < sizeof(BookRow); line += 64)
            __builtin_prefetch(bytes + line);
#else
        Q_UNUSED(row);
#endif
    };
    alignas(BookRow) std::byte held[sizeof(BookRow)];
    for (int start = 0; start < int(keys.size()); ++start) {
        if (keys[start].row == start)
            continue;
        std::memcpy(held, static_cast<const void *>(books + start), sizeof(BookRow));
        int ahead = start;
        for (int step = 0; step < FetchAhead && keys[ahead].row != start; ++step)
            fetch(ahead = keys[ahead].row);
        int place = start;
        while (keys[place].row != start) {
            const int from = keys[place].row;
            if (keys[ahead].row != start)
                fetch(ahead = keys[ahead].row);
            std::memcpy(static_cast<void *>(books + place), static_cast<const void *>(books + from), sizeof(BookRow));
            keys[place].row = place;
            place = from;
        }
        std::memcpy(static_cast<void *>(books + place), held, sizeof(BookRow));
        keys[place].row = place;
    }
}
} // namespace

void BookTable::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= BookColumnCount)
        return;
    // Each cell is read once into a key: numbers are parsed once, not in every comparison.
    const int count = rowCount();
    BookRow *books = mutableRows().data();
    QVector<CellSortKey> keys;
    keys.reserve(count);
    for (int row = 0; row < count; ++row)
        keys.append(bookSortKey(books[row], column, row));
    sortCellKeys(keys, order);
    QVector<int> newRowOfOld(count);
    for (int place = 0; place < count; ++place)
        newRowOfOld[keys[place].row] = place;

    beginResetModel();
    placeRows(books, keys);
    emit rowsRenumbered(newRowOfOld);
    endResetModel();
}

int BookTable::removeFlaggedRows(const QVector<bool> &removed)
{
    Q_ASSERT(removed.size() == rowCount());
    const int count = rowCount();
    QVector<int> newRowOfOld(count, -1);
    int kept = 0;
    for (int row = 0; row < count; ++row)
        if (!removed[row])
            newRowOfOld[row] = kept++;
    if (kept == count)
        return 0;

    beginResetModel();
    QVector<BookRow> &rows = mutableRows();
    for (int row = 0; row < count; ++row)
        if (newRowOfOld[row] >= 0 && newRowOfOld[row] != row)
            rows[newRowOfOld[row]] = std::move(rows[row]);
    rows.resize(kept);
    giveBackUnusedStorage();
    emit rowsRenumbered(newRowOfOld);
    endResetModel();
    return count - kept;
}

void BookTable::clear()
{
    RowGridModel<BookRow>::clear();
    m_summary = BookCollectionSummary();
    m_editedRows = QVector<int>();
}

void BookTable::rowEdited(int row)
{
    if (m_summaryRevision != revision())
        return;
    // Rows edited more than once in all are worked in again in a pass over the whole list.
    if (m_editedRows.size() >= rowCount())
        m_summaryRevision = ~quint64(0);
    else
        m_editedRows.append(row);
}

const BookCollectionSummary &BookTable::collectionSummary() const
{
    if (m_summaryRevision != revision()) {
        m_summary = BookCollectionSummary::of(rows());
        m_summaryRevision = revision();
    } else {
        for (const int row : std::as_const(m_editedRows))
            m_summary.refreshRow(row, this->row(row));
    }
    m_editedRows.clear();
    return m_summary;
}
