#pragma once

#include "core/grid_model.h"

class BookTable;

// A book as the book list shows it: its file-list row's title and full path.
struct ShownBookRow
{
    QString title;
    QString full_path; // identifies the file-list row

    bool operator==(const ShownBookRow &) const = default;
};

enum ShownBookColumn { ShownBookNumberColumn, ShownBookTitleColumn, ShownBookFullPathColumn };

// The book list (`BookList` / `ebooklist`): the books of the collection shown. Its rows are
// rows of the file list, read where they are rather than copied, and it follows that list:
// books that leave the file list leave the book list, a sort of the file list keeps the book
// list as it was, and a file list replaced or emptied whole empties it.
class ShownBooksTable : public GridModel
{
    Q_OBJECT
public:
    explicit ShownBooksTable(const BookTable &books, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QString cellText(int row, int column) const override;

    // The file-list row that book-list row `row` shows.
    int bookRow(int row) const { return m_bookRows.at(row); }
    const QVector<int> &bookRows() const { return m_bookRows; }
    // Title and path of book-list row `row`, and of every row, as copies.
    ShownBookRow row(int row) const;
    QVector<ShownBookRow> rows() const;

    // Shows these file-list rows, in this order, in one reset.
    void showBookRows(QVector<int> bookRows);
    void clear() override;
    // Empties the list, header included, and forgets which collection it showed.
    void empty();

    // Header texts, widths and alignments the list takes each time it is filled.
    void applyLayout();

    // The collection-list row whose books are shown, or -1.
    int shown_collection_row = -1;

private:
    // Shows each book at the row `newRowOf` gives it, leaving out those it gives -1.
    template <typename NewRow> void renumberBooks(NewRow newRowOf);
    void followRemovedBooks(int first, int last);
    void followRenumberedBooks(const QVector<int> &newRowOfOld);
    void followReplacedBooks();

    const BookTable &m_books;
    QVector<int> m_bookRows;
    bool m_booksResetting = false;
};
