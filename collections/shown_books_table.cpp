#include "collections/shown_books_table.h"

#include "booklist/book_table.h"

ShownBooksTable::ShownBooksTable(const BookTable &books, QObject *parent) : GridModel(3, parent), m_books(books)
{
    connect(&books, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { followRemovedBooks(first, last); });
    connect(&books, &BookTable::rowsRenumbered, this, &ShownBooksTable::followRenumberedBooks);
    // A reset that renumbers the rows says so inside it; any other replaces them all.
    connect(&books, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_booksResetting = true; });
    connect(&books, &QAbstractItemModel::modelReset, this, &ShownBooksTable::followReplacedBooks);
    connect(&books, &QAbstractItemModel::dataChanged, this, [this] {
        if (!m_bookRows.isEmpty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    });
}

int ShownBooksTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_bookRows.size());
}

QString ShownBooksTable::cellText(int row, int column) const
{
    switch (column) {
    case ShownBookNumberColumn:
        return QString::number(row + 1);
    case ShownBookTitleColumn:
        return m_books.row(bookRow(row)).title;
    case ShownBookFullPathColumn:
        return m_books.row(bookRow(row)).full_path;
    default:
        return {};
    }
}

ShownBookRow ShownBooksTable::row(int row) const
{
    const BookRow &book = m_books.row(bookRow(row));
    return {book.title, book.full_path};
}

QVector<ShownBookRow> ShownBooksTable::rows() const
{
    QVector<ShownBookRow> rows;
    rows.reserve(m_bookRows.size());
    for (int row = 0; row < rowCount(); ++row)
        rows.append(this->row(row));
    return rows;
}

void ShownBooksTable::showBookRows(QVector<int> bookRows)
{
    beginResetModel();
    m_bookRows = std::move(bookRows);
    endResetModel();
}

void ShownBooksTable::clear()
{
    beginResetModel();
    m_bookRows = QVector<int>();
    resetHeaderAndLayout();
    endResetModel();
}

void ShownBooksTable::empty()
{
    // No reset for views when there is nothing to empty.
    if (!m_bookRows.isEmpty() || hasHeader())
        clear();
    shown_collection_row = -1;
}

template <typename NewRow> void ShownBooksTable::renumberBooks(NewRow newRowOf)
{
    QVector<int> staying;
    staying.reserve(m_bookRows.size());
    for (const int row : std::as_const(m_bookRows))
        if (const int now = newRowOf(row); now >= 0)
            staying.append(now);
    if (staying.size() == m_bookRows.size())
        m_bookRows = std::move(staying); // the same books, renumbered: nothing shows a change
    else
        showBookRows(std::move(staying));
}

void ShownBooksTable::followRemovedBooks(int first, int last)
{
    renumberBooks([first, last](int row) { return row < first ? row : row > last ? row - (last - first + 1) : -1; });
}

void ShownBooksTable::followRenumberedBooks(const QVector<int> &newRowOfOld)
{
    m_booksResetting = false;
    renumberBooks([&newRowOfOld](int row) { return newRowOfOld.value(row, -1); });
}

void ShownBooksTable::followReplacedBooks()
{
    if (std::exchange(m_booksResetting, false))
        empty();
}

void ShownBooksTable::applyLayout()
{
    setHeaderTexts({QStringLiteral("#"), QStringLiteral("Название книги"), QStringLiteral("Имя файла")});
    setColumnWidth(ShownBookNumberColumn, FitToContents);
    setColumnWidth(ShownBookTitleColumn, 350);
    setColumnWidth(ShownBookFullPathColumn, 0);
    setColumnAlignment(ShownBookNumberColumn, Qt::AlignHCenter);
    setHeaderAlignment(ShownBookNumberColumn, Qt::AlignHCenter);
}
