#pragma once

#include <QString>
#include <QStringList>

// What either synchronisation tells the user at its end.
namespace SyncMessages {

QString success();

// Replaces the success message when books did not reach the reader; each of `books` is one
// line. Long lists are cut short.
QString booksNotWritten(const QStringList &books);

// The library is committed, but files it names are not in place yet (the reader went away).
QString notCompleted();

// The record of what a run is about to write could not be put on the reader: nothing was done.
QString journalNotWritten();

// The volume filled up before the commit: the reader keeps its previous library.
QString volumeFull();

} // namespace SyncMessages
