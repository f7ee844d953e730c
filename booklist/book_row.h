#pragma once

#include "booklist/book_file_size.h"

#include <QString>
#include <QStringList>

// One book file of the file list. The field names are the book table's column names.
struct BookRow
{
    // What the collection builds read of every row lies together at its start.
    QString full_path;
    QString collection;     // name of the book's collection; empty when in none
    BookFileSize file_size; // bytes, decimal text and number
    // Not a column of the table: what the book's own head says of its series.
    QString series;
    // Editing page: the names of the other collections the book is in on the reader, which can
    // hold a book in several; `collection` is never empty while these are not.
    QStringList other_collections;
    QString author;
    QString title;
    QString root;
    QString display_name;
    QString added_date;    // milliseconds since 1970, decimal text
    QString modified_date; // milliseconds since 1970, decimal text
    QString file_name;
    QString mime_type;
    QString relative_path;
    QString record_id;     // the reader's `_id` of the book; editing page only
    QString series_number; // as written in the series; empty when the series gives none

    bool operator==(const BookRow &) const = default;
};

// Its text fields move in memory as they are, so a growing table moves rows without copying.
Q_DECLARE_TYPEINFO(BookRow, Q_RELOCATABLE_TYPE);

// The book table's columns in grid order.
enum BookColumn {
    FullPathColumn,
    CollectionColumn,
    FileSizeColumn,
    AuthorColumn,
    TitleColumn,
    RootColumn,
    DisplayNameColumn,
    AddedDateColumn,
    ModifiedDateColumn,
    FileNameColumn,
    MimeTypeColumn,
    RelativePathColumn,
    RecordIdColumn,
    BookColumnCount
};

// The text of a row's cell in `column`, and writing it.
const QString &bookCellText(const BookRow &book, int column);
void setBookCellText(BookRow &book, int column, const QString &text);
