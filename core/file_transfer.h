#pragma once

#include <QString>

// Moving book files onto the reader and within it. Each call answers whether it worked and
// never throws: one file that cannot be copied must not stop the others.

// Copies `source` to `destination`, creating the destination's folders as needed and replacing
// a file already there. The copy reaches its name whole or not at all, so a failed copy never
// leaves a truncated book nor spoils an earlier file of that name. The modification time is
// kept, as the platform's own copy does. A zipped FB2 book bound for a name that is no archive
// is unpacked there (unpackFileOver).
bool copyFileOver(const QString &source, const QString &destination);

// Writes the FB2 book of the archive `source` to `destination` on the same terms: whole or not
// at all, with the archive's modification time, so a later run sees the copy as up to date.
bool unpackFileOver(const QString &source, const QString &destination);

// Renames `from` to `to` on the same volume, creating the folders of `to` and replacing a
// file there. Never copies: across volumes it fails and leaves `from` where it was.
bool moveWithinVolume(const QString &from, const QString &to);

// Writes what the system still holds for the volume under `path` to the medium, so the user
// may unplug the reader once told so. Best effort.
void flushVolume(const QString &path);
