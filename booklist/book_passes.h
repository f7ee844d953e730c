#pragma once

#include <QStringList>

class BookTable;
class Clock;
class Progress;

// The two passes the intake runs over the whole file list: sizes and time stamps, then
// MIME types and the author, title and series of FB2 books. A book file that has vanished or cannot
// be read is skipped (its row keeps its values) and returned, so the pass always finishes.
QStringList runSizePass(BookTable &books, Progress &progress, const Clock &clock);
QStringList runMetadataPass(BookTable &books, Progress &progress);
