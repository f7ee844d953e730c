#pragma once

#include "booklist/book_row.h"

// Book row number i of a file list as the intake fills it: every field set, paths spread
// over 97 folders, sizes growing with i.
BookRow syntheticBookRow(int i);

// The file list's column widths after an addition.
class BookTable;
void setBookWidths(BookTable &table);
