#pragma once

#include <QString>

// The floor a synchronisation is measured against: the plainest way to replace what a folder holds
// with a tree of files, as the system's own tools would do it without extras.

// Deletes everything below `folder` (unlink and rmdir, depth first); the folder stays.
void clearPlainly(const QString &folder);

// Copies every file below `from` to the same place below `to`, creating folders, with
// copy_file_range (sendfile where the kernel refuses it). False when something could not be copied.
bool copyPlainly(const QString &from, const QString &to);
