#pragma once

#include <QFileInfo>
#include <QString>

#include <functional>

class FileOperations;

// Which entries a clearing leaves in place: true keeps that file, or that folder with all it holds.
using KeepEntry = std::function<bool(const QFileInfo &entry)>;

// Deletes every file and sub-folder below `folder` that `keep` does not keep; the folder itself stays,
// and so does every folder above something kept. A read-only file (no write permission for its owner,
// the reader's read-only attribute), or one the system refuses to delete, stays the same way. Symbolic
// links and junctions are removed themselves, never followed. `beforeSubfolder` runs once before each
// sub-folder is entered, so a progress window can repaint. A missing folder is left alone. Returns how
// many files stayed that were not kept.
int clearFolderTree(const QString &folder, FileOperations &files, const std::function<void()> &beforeSubfolder = {},
                    const KeepEntry &keep = {});

// Removes the file, link or folder at `path` with all it holds, the way clearFolderTree clears what
// it does not keep. True when nothing is left there.
bool removeEntryTree(const QString &path, FileOperations &files, const std::function<void()> &beforeSubfolder = {});
