#pragma once

#include <QString>
#include <QStringList>

class BookTable;
class Progress;

// Appends a row for every book file below `folder`, depth first: a sub-folder's books come
// where the sub-folder is listed, in the order the file system lists the entries. Hidden
// and system entries count; symbolic links to folders are not followed, so a link cycle
// cannot make the scan endless. Events are processed after each appended row. Returns the
// book files found that could not be added, their names not being text (undecodableBookFiles).
// With `zippedBooks`, ZIP archives are taken for books too (to be checked by the caller).
QStringList scanFolder(const QString &folder, const QString &scanRoot, BookTable &books, Progress &progress,
                       bool zippedBooks = false);
