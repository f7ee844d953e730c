#pragma once

#include <QString>

// The space of the volume that holds a path. A figure that could not be obtained is -1.
struct VolumeSpace
{
    bool queried = false;
    qint64 availableBytes = -1; // free bytes this user may write
    qint64 totalBytes = -1;
};

// Asks the system about the volume holding `path` (a reader's root or any folder on it). A path
// that does not exist, or a volume that is not ready, answers queried == false with -1 for both
// figures. The process's current directory is never touched.
VolumeSpace queryVolumeSpace(const QString &path);
