#include "covers/cover_thumbnail.h"

#include "core/file_operations.h"
#include "core/tessaly_error.h"
#include "covers/base64_decoder.h"
#include "covers/cover_fitting.h"
#include "covers/fb2_cover.h"
#include "covers/jpeg_codec.h"
#include "covers/png_recoder.h"

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

// Within the allowance a JPEG cover is written as the book holds it; a larger one is made again.
std::optional<QByteArray> jpegThumbnail(const QByteArray &picture)
{
    if (!readJpegHeader(picture))
        return std::nullopt;
    if (picture.size() <= ThumbnailAllowanceBytes)
        return picture;
    const std::optional<RgbPixels> pixels = decodeJpeg(picture, ReaderScreenWidth, ReaderScreenHeight);
    return pixels ? fittedCover(*pixels) : std::nullopt;
}

// A PNG cover is encoded again; one larger than the screen or the allowance is made again to fit.
std::optional<QByteArray> pngThumbnail(const QByteArray &picture)
{
    const std::optional<RgbPixels> pixels = decodePng(picture);
    if (!pixels)
        return std::nullopt;
    if (pixels->width <= ReaderScreenWidth && pixels->height <= ReaderScreenHeight) {
        std::optional<QByteArray> png = encodePng(*pixels);
        if (png && png->size() <= ThumbnailAllowanceBytes)
            return png;
    }
    return fittedCover(*pixels);
}

Thumbnail thumbnailFromCover(const Fb2Cover &cover)
{
    const QByteArray picture = decodeBase64SkippingOthers(cover.base64Data);
    std::optional<QByteArray> bytes;
    switch (cover.kind) {
    case CoverKind::Jpeg:
        bytes = jpegThumbnail(picture);
        break;
    case CoverKind::Png:
        bytes = pngThumbnail(picture);
        break;
    case CoverKind::Other:
        return {ThumbnailSource::None, {}};
    }
    // A cover that cannot be decoded gets the placeholder.
    return bytes ? Thumbnail{ThumbnailSource::Cover, std::move(*bytes)} : placeholderThumbnail();
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
    // Read-only access: a book file that permits only reading is still a book with a cover.
    QFile book(bookPath);
    if (!book.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return placeholderThumbnail();
    const Fb2Cover cover = findFb2Cover(book);
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
