#pragma once

#include <QStringList>

class BookTable;

// The header texts of the file list, columns 0 to 10 (the later columns have none).
QStringList bookTableHeaderTexts();

// The column widths after books are added: full path, collection, author and title shown.
void setBookTableWidths(BookTable &books);
