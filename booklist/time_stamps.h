#pragma once

#include <QDateTime>
#include <QString>

// The reader's time stamps of a book: milliseconds since 1970-01-01 as decimal text, from
// the local wall-clock time read as if it were UTC (the reader shows them unconverted).
struct BookTimeStamps
{
    QString added;    // the moment itself, to the millisecond
    QString modified; // 10,000 seconds later, whole seconds
};

BookTimeStamps bookTimeStamps(const QDateTime &localNow);
