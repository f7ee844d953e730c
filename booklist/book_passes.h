#pragma once

#include "covers/book_formats.h"

#include <QStringList>

#include <functional>

class BookTable;
class Clock;
class Progress;

// The two passes the intake runs over the whole file list: sizes and time stamps, then
// MIME types and the author and title of FB2 books (plain or zipped), and with `formats` switched
// on of EPUB and PDF books, and the series of FB2 books. A book file that has vanished or cannot
// be read is skipped (its row keeps its values) and returned, so the pass always finishes.
QStringList runSizePass(BookTable &books, Progress &progress, const Clock &clock);
QStringList runMetadataPass(BookTable &books, Progress &progress, const BookFormats &formats = {});
// The series of the FB2 books alone, and of EPUB books with `formats` switched on, their files
// read at `placeOf(full_path)`; the other fields stay. For books whose other fields come from
// elsewhere (the reader's database).
QStringList runSeriesPass(BookTable &books, Progress &progress, const BookFormats &formats,
                          const std::function<QString(const QString &fullPath)> &placeOf);
