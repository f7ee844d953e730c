#include "reader/free_space.h"

#include <QFileInfo>
#include <QStorageInfo>

VolumeSpace queryVolumeSpace(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    const QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady())
        return {};
    const qint64 available = storage.bytesAvailable();
    const qint64 total = storage.bytesTotal();
    if (available < 0 || total < 0)
        return {};
    return {true, available, total};
}
