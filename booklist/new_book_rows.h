#pragma once

#include "booklist/book_row.h"

// The row of a book file found by a folder scan: `folder` is the scanned folder the file
// lies in (with its trailing separator), `scanRoot` the folder the scan started from.
BookRow scannedBookRow(const QString &folder, const QString &fileName, const QString &scanRoot);

// The row of a book file added by itself; its folder stands in for the scanned folder.
BookRow singleBookRow(const QString &filePath);
