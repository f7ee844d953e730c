#include "reader/volume_list.h"

#include <QStorageInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <algorithm>
#endif

QString MountedVolumes::label(const QString &root) const
{
    return QStorageInfo(root).name();
}

#ifdef Q_OS_WIN
QStringList MountedVolumes::roots() const
{
    // Every letter with a root directory counts, whether or not a medium is inserted.
    QStringList roots;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const QString root = QString(QLatin1Char(letter)) + QLatin1String(":\\");
        if (GetDriveTypeW(reinterpret_cast<LPCWSTR>(root.utf16())) != DRIVE_NO_ROOT_DIR)
            roots << root;
    }
    return roots;
}
#else
QStringList MountedVolumes::roots() const
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        QString root = volume.rootPath();
        if (!root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        roots << root;
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    return roots;
}
#endif
