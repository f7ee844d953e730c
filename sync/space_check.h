#pragma once

#include <QString>
#include <QtGlobal>

// Whether the books of a synchronisation fit on the reader: their `totalSize` in bytes, a
// thumbnail allowance of 200 KB for each of the `bookCount` books and a margin of 10 KB must
// not exceed `availableBytes`, the space the reader has while it still holds its old library.
// Equality fits.
bool booksFit(qint64 totalSize, qint64 bookCount, qint64 availableBytes);

// What the user is told when they do not.
QString notEnoughSpaceMessage(qint64 totalSize, qint64 bookCount, qint64 availableBytes);
