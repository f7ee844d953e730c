#include "device/volume_list.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStorageInfo>
#include <algorithm>
#endif

#ifdef Q_OS_WIN
QStringList MountedVolumes::roots() const
{
    // Every letter with a root directory counts, whether or not a medium is inserted.
    QStringList roots;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const QString drive = QString(QChar(letter)) + QLatin1Char(':');
        if (GetDriveTypeW(reinterpret_cast<LPCWSTR>(drive.utf16())) != DRIVE_NO_ROOT_DIR)
            roots << drive + QLatin1Char('\\');
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
