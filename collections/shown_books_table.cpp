#include "collections/shown_books_table.h"

ShownBooksTable::ShownBooksTable(QObject *parent) : RowGridModel<ShownBookRow>(3, parent)
{}

QString ShownBooksTable::cellText(int row, int column) const
{
    const ShownBookRow &book = this->row(row);
    switch (column) {
    case ShownBookNumberColumn:
        return QString::number(row + 1);
    case ShownBookTitleColumn:
        return book.title;
    case ShownBookFullPathColumn:
        return book.full_path;
    default:
        return {};
    }
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
