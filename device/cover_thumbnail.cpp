#include "device/cover_thumbnail.h"

#include "core/tessaly_error.h"
#include "device/base64_decoder.h"
#include "device/fb2_cover.h"
#include "device/file_operations.h"
#include "device/jpeg_header.h"
#include "device/png_recoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
Thumbnail placeholderThumbnail()
{
    return {ThumbnailSource::Placeholder, placeholderCover()};
}

bool isFb2(const QString &bookPath)
{
    return QFileInfo(bookPath).suffix().toUpper() == QLatin1StringView("FB2");
}

// Read-only access: a book file that permits only reading is still a book with a cover.
std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return text;
}

Thumbnail thumbnailFromCover(const Fb2Cover &cover)
{
    const QByteArray picture = decodeBase64SkippingOthers(cover.base64Data);
    switch (cover.kind) {
    case CoverKind::Jpeg:
        // The header is read only to make sure the bytes are a JPEG; they are written unchanged.
        if (readJpegHeader(picture))
            return {ThumbnailSource::Cover, picture};
        return placeholderThumbnail();
    case CoverKind::Png:
        if (std::optional<QByteArray> png = recodePng(picture))
            return {ThumbnailSource::Cover, std::move(*png)};
        return placeholderThumbnail();
    case CoverKind::Other:
        break;
    }
    return {ThumbnailSource::None, {}};
}
} // namespace

QByteArray placeholderCover()
{
    static const QByteArray bytes = [] {
        QFile resource(QStringLiteral(":/placeholder_cover.jpg"));
        resource.open(QIODevice::ReadOnly);
        return resource.readAll();
    }();
    return bytes;
}

Thumbnail coverThumbnail(const QString &bookPath)
{
    if (!isFb2(bookPath))
        return placeholderThumbnail();
    const std::optional<QByteArray> text = readWholeFile(bookPath);
    if (!text)
        return placeholderThumbnail();
    const Fb2Cover cover = findFb2Cover(*text);
    if (cover.base64Data.isEmpty())
        return placeholderThumbnail();
    return thumbnailFromCover(cover);
}

ThumbnailSource writeCoverThumbnail(const QString &bookPath, const QString &thumbnailFolder, FileOperations &files)
{
    const Thumbnail thumbnail = coverThumbnail(bookPath);
    if (thumbnail.source == ThumbnailSource::None)
        return thumbnail.source;
    const QString path = QDir(thumbnailFolder).filePath(ThumbnailFileName);
    if (!files.writeFile(path, thumbnail.bytes))
        throw TessalyError(QStringLiteral("Не удалось записать файл превью %1").arg(QDir::toNativeSeparators(path)));
    return thumbnail.source;
}
