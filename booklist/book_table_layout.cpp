#include "booklist/book_table_layout.h"

#include "booklist/book_table.h"

#include <array>

QStringList bookTableHeaderTexts()
{
    return {QStringLiteral("Полный путь к файлу"),
            QStringLiteral("Коллекция"),
            QStringLiteral("file_size"),
            QStringLiteral("Автор"),
            QStringLiteral("Название книги"),
            QStringLiteral("Root"),
            QStringLiteral("Имя файла"),
            QStringLiteral("added_date"),
            QStringLiteral("modified_date"),
            QStringLiteral("file_name"),
            QStringLiteral("mime_type")};
}

void setBookTableWidths(BookTable &books)
{
    static constexpr std::array<int, BookColumnCount> widths{400, 300, 0, 100, 200, 0, 0, 0, 0, 0, 0, 0, 0};
    books.setColumnWidths(widths);
}
