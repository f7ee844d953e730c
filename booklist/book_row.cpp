#include "booklist/book_row.h"

#include <array>

namespace {
// The text fields behind the columns; the size column holds text and number together.
constexpr std::array<QString BookRow::*, BookColumnCount> textFields{
    &BookRow::full_path,    &BookRow::collection, nullptr,
    &BookRow::author,       &BookRow::title,      &BookRow::root,
    &BookRow::display_name, &BookRow::added_date, &BookRow::modified_date,
    &BookRow::file_name,    &BookRow::mime_type,  &BookRow::relative_path,
    &BookRow::record_id,
};
} // namespace

const QString &bookCellText(const BookRow &book, int column)
{
    if (column == FileSizeColumn)
        return book.file_size.text();
    return book.*textFields.at(std::size_t(column));
}

void setBookCellText(BookRow &book, int column, const QString &text)
{
    if (column == FileSizeColumn)
        book.file_size = text;
    else
        book.*textFields.at(std::size_t(column)) = text;
}
