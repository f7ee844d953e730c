#include "reader/reader_layout.h"

#include <QDir>

#include <charconv>
#include <iterator>

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

QString stagedThumbnailsFolderPath(const QString &deviceRoot)
{
    return onDevice(deviceRoot, StagedThumbnailsFolder);
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

namespace {
// A record's stored thumbnail path in pieces: the one before its id and the one after.
QByteArrayView storedThumbnailPrefix()
{
    return QByteArrayView(ThumbnailsFolder.data(), ThumbnailsFolder.size());
}
const QByteArray &storedThumbnailSuffix()
{
    static const QByteArray suffix = QString(ThumbnailSubfolder + ThumbnailFileName).toLatin1();
    return suffix;
}
} // namespace

bool isStoredThumbnailPathOf(QByteArrayView storedPath, QStringView recordId)
{
    // Told piece by piece: a write-back asks this of every book.
    const QByteArrayView prefix = storedThumbnailPrefix();
    const QByteArray &suffix = storedThumbnailSuffix();
    if (storedPath.size() != prefix.size() + recordId.size() + suffix.size() || !storedPath.startsWith(prefix) ||
        !storedPath.endsWith(suffix))
        return false;
    const QByteArrayView id = storedPath.sliced(prefix.size(), recordId.size());
    return QLatin1StringView(id) == recordId;
}

QString storedThumbnailPath(const QString &recordId)
{
    return ThumbnailsFolder + recordId + ThumbnailSubfolder + ThumbnailFileName;
}

QByteArray storedThumbnailUtf8(qint64 recordId)
{
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), recordId).ptr;
    const QByteArray &suffix = storedThumbnailSuffix();
    QByteArray path;
    path.reserve(storedThumbnailPrefix().size() + (end - digits) + suffix.size());
    path.append(storedThumbnailPrefix()).append(digits, end - digits).append(suffix);
    return path;
}

} // namespace ReaderLayout
