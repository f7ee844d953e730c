#include "app/desktop_file_opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

void DesktopFileOpener::open(const QString &path)
{
    // Nothing is said when no program takes the file: the double click then simply does nothing.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(path)));
}
