#pragma once

#include "booklist/book_row.h"

#include <QStringList>
#include <QVector>

struct BookFormats;

// The rows the intake makes of `path` (a book or a folder) with `formats`, its clock fixed; the
// archives it found unfit go to `unfit` where given.
QVector<BookRow> intakeRows(const QString &path, const BookFormats &formats, QStringList *unfit = nullptr);
