#pragma once

#include <QString>
#include <QStringList>

// The book files in `folder` that Qt's directory listing leaves out because their names are
// not text: on Unix, names whose bytes are not UTF-8 (Windows-1251 names from old archives).
// No path held as text opens them, so they cannot be added; this finds them with the system's
// own directory calls so the user can be told. A folder whose name is not UTF-8 hides every
// book below it, and those are given too. Each file is named as the user can recognise it:
// `folder` followed by the rest of its path read as UTF-8 where valid, else as Windows-1251.
// Symbolic links to folders are not followed. Always empty on Windows, whose names are text.
QStringList undecodableBookFiles(const QString &folder);
