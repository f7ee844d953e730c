#pragma once

#include <QByteArray>

#include <optional>

class QMimeData;

// Rows dragged out of a grid: `count` rows from 0-based `first`, and the identity of the grid
// they come from, so that a drop can tell which list they belong to and refuse those of
// another window or process.
struct RowDrag
{
    QByteArray sourceGrid;
    int first = -1;
    int count = 0;
};

// The data of a row drag, under a type of our own that no other program offers.
QMimeData *rowDragData(const RowDrag &drag);
// The row drag `data` carries; none when it carries something else.
std::optional<RowDrag> readRowDrag(const QMimeData *data);
