#pragma once

#include <QString>

// The plainest read of a book's head for a floor: open, read up to `size` bytes into `buffer`,
// close. Answers the bytes read; 0 when the file cannot be opened.
qint64 readHeadPlainly(const QString &path, char *buffer, qint64 size);
