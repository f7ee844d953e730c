#pragma once

#include "booklist/book_row.h"
#include "booklist/book_table.h"
#include "widgets/grid_view.h"

#include <QVector>

// Book row number i of a file list as the intake fills it: every field set, paths spread
// over 97 folders, sizes growing with i.
BookRow syntheticBookRow(int i);

// Rows 0 to n - 1 of the same kind.
QVector<BookRow> syntheticBookRows(int n);

// The file list's grid shown on screen, its column widths as after an addition.
struct ShownFileList
{
    ShownFileList();

    BookTable table;
    GridView view;
};
