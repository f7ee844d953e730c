#include "booklist/book_row.h"

#include <array>

QString BookRow::*bookField(int column)
{
    static constexpr std::array<QString BookRow::*, BookColumnCount> fields{
        &BookRow::full_path,     &BookRow::collection, &BookRow::file_size,    &BookRow::author,
        &BookRow::title,         &BookRow::root,       &BookRow::display_name, &BookRow::added_date,
        &BookRow::modified_date, &BookRow::file_name,  &BookRow::mime_type,    &BookRow::relative_path,
        &BookRow::record_id,
    };
    return fields.at(std::size_t(column));
}
