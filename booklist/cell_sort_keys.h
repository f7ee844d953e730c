#pragma once

#include <QString>
#include <QVector>

// What a header click sorts by, worked out once per row rather than in every comparison:
// a cell that reads as a number compares as that number with another such cell, otherwise
// cells compare as text.
struct CellSortKey
{
    double number = 0;
    const QString *text = nullptr; // the cell itself, which outlives the sort
    bool isNumber = false;
    int row = 0;
};

CellSortKey cellSortKey(const QString &text, int row);

// Both numbers: numeric order; otherwise text order.
inline bool cellKeyLess(const CellSortKey &a, const CellSortKey &b)
{
    if (a.isNumber && b.isNumber)
        return a.number < b.number;
    return *a.text < *b.text;
}

// The rows' order after a stable sort of their keys in `order`.
void sortCellKeys(QVector<CellSortKey> &keys, Qt::SortOrder order);
