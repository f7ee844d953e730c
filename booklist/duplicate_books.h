#pragma once

#include <Qt>

class BookTable;

// How paths name the same file here: Windows ignores letter case, Linux tells it apart (two
// files whose names differ only in case are two books there).
constexpr Qt::CaseSensitivity platformPathCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

// Removes every row whose full path an earlier row already has, compared with `pathCase`: the
// earliest row keeps its place and its collection. Linear in the number of rows; the views
// see one change. Returns the number of rows removed.
int removeDuplicateBooks(BookTable &books, Qt::CaseSensitivity pathCase = platformPathCase());
