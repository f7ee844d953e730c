#pragma once

// A grid's selection as the operations take it: `count` rows from 0-based `first`.
// Clips it to the grid's `rowCount` rows; false when nothing of it is a data row.
inline bool clipSelection(int first, int &count, int rowCount)
{
    if (first < 0 || first >= rowCount || count <= 0)
        return false;
    if (count > rowCount - first)
        count = rowCount - first;
    return true;
}
