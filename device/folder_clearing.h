#pragma once

#include <QString>

#include <functional>

// Deletes every file and sub-folder below `folder`; the folder itself stays. A read-only file (no
// write permission for its owner, the reader's read-only attribute), or one the system refuses to
// delete, stays together with every folder above it. Symbolic links and junctions are removed
// themselves, never followed. `beforeSubfolder` runs once before each sub-folder is entered, so
// a progress window can repaint. A missing folder is left alone. Returns how many files stayed.
int clearFolderTree(const QString &folder, const std::function<void()> &beforeSubfolder = {});

// The bytes of the files clearFolderTree(folder) would delete, counted before anything is
// deleted: what a space check may add to the free space. Read-only files and links count nothing.
qint64 bytesFreedByClearing(const QString &folder);
