#pragma once

#include <QString>

// Entries whose names are Windows-1251 bytes, not UTF-8, as old archives leave them; Qt
// cannot name them, so they are made and removed with the system's own calls (Unix only).

// Creates `relative` below `folder`: a folder when it ends in "/", otherwise a small file.
// False when the system refuses.
bool makeWindows1251Entry(const QString &folder, const QString &relative);

// Removes `folder` with everything below it, whatever the names.
void removeTreeOfAnyNames(const QString &folder);
