#include "reader/reader_layout.h"

#include <QDir>

namespace ReaderLayout {

QString onDevice(const QString &deviceRoot, const QString &relative)
{
    return deviceRoot + QDir::toNativeSeparators(relative);
}

QString databasePath(const QString &deviceRoot)
{
    return onDevice(deviceRoot, DatabaseFile);
}

QString booksFolderPath(const QString &deviceRoot)
{
    return onDevice(deviceRoot, BooksFolder);
}

QString thumbnailsFolderPath(const QString &deviceRoot)
{
    return onDevice(deviceRoot, ThumbnailsFolder);
}

QString thumbnailFolderPath(const QString &deviceRoot, const QString &recordId)
{
    return onDevice(deviceRoot, ThumbnailsFolder + recordId + ThumbnailSubfolder);
}

QString storedPathOf(const QString &deviceRoot, const QString &path)
{
    return QDir::fromNativeSeparators(path.mid(deviceRoot.size()));
}

QString storedBookPath(const QString &relativePath)
{
    return BooksFolder + QDir::fromNativeSeparators(relativePath);
}

QString storedThumbnailPath(const QString &recordId)
{
    return ThumbnailsFolder + recordId + ThumbnailSubfolder + ThumbnailFileName;
}

} // namespace ReaderLayout
