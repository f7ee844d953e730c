#pragma once

#include <QString>
#include <QStringList>

// What either synchronisation tells the user at its end.
namespace SyncMessages {

QString success();

// Replaces the success message when books did not reach the reader; each of `books` is one
// line. Long lists are cut short.
QString booksNotWritten(const QStringList &books);

// Added to the closing message for every folder on the reader where books taken from its own
// book folder stayed aside.
QString keptAsideNote(const QStringList &folders);

} // namespace SyncMessages
