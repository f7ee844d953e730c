#include "booklist/book_table.h"

#include "booklist/cell_sort_keys.h"

#include <algorithm>
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

void BookTable::append(BookRow &&row)
{
    if (inBulk())
        m_pending.append(std::move(row));
    else
        appendRow(row);
}

void BookTable::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= BookColumnCount)
        return;
    // Each cell is read once into a key: numbers are parsed once, not in every comparison.
    const qsizetype count = rowCount();
    BookRow *books = mutableRows().data();
    QVector<CellSortKey> keys;
    keys.reserve(count);
    for (int row = 0; row < count; ++row)
        keys.append(cellSortKey(bookCellText(books[row], column), row));
    sortCellKeys(keys, order);
    QVector<BookRow> sorted;
    sorted.reserve(count);
    for (const CellSortKey &key : std::as_const(keys))
        sorted.append(std::move(books[key.row]));
    replaceRows(std::move(sorted));
}
