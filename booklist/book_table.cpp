#include "booklist/book_table.h"

#include <algorithm>
#include <utility>

BookTable::BookTable(QObject *parent) : RowGridModel<BookRow>(BookColumnCount, parent)
{}

QString BookTable::cellText(int row, int column) const
{
    return this->row(row).*bookField(column);
}

void BookTable::setCellText(int row, int column, const QString &text)
{
    updateRow(row, [&](BookRow &book) { book.*bookField(column) = text; });
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

namespace {
// Both numbers: numeric order; otherwise text order.
bool cellLess(const QString &a, const QString &b)
{
    bool aIsNumber = false;
    bool bIsNumber = false;
    const double x = a.toDouble(&aIsNumber);
    const double y = b.toDouble(&bIsNumber);
    if (aIsNumber && bIsNumber)
        return x < y;
    return a < b;
}
} // namespace

void BookTable::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= BookColumnCount)
        return;
    const auto field = bookField(column);
    QVector<BookRow> books = rows();
    std::stable_sort(books.begin(), books.end(), [&](const BookRow &a, const BookRow &b) {
        return order == Qt::AscendingOrder ? cellLess(a.*field, b.*field) : cellLess(b.*field, a.*field);
    });
    replaceRows(std::move(books));
}
