#pragma once

#include <QString>

// The path a book takes below the reader's books folder: `path` below the parent of
// `base` (the folder it was added from, or the folder holding a file added by itself),
// so the added folder's own name becomes the top folder. Native separators. A drive
// designator loses its colon ("D:" gives "D"); every other character a FAT volume cannot
// hold in a name (\ / : * ? " < > | and control characters) becomes '_', so the copy on the
// reader and its database path agree.
QString relativeBookPath(const QString &path, const QString &base);

// The file name without its extension: cut at the first occurrence of the extension
// ("x.fb2.old.fb2" gives "x"); a name without extension stays whole.
QString nameWithoutExtension(const QString &name);

// The folder holding `filePath` as the file list's `root` shows it: without a trailing
// separator, except the file-system root on systems where it has no other name ("/").
QString containingFolder(const QString &filePath);
