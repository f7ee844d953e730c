#include "covers/cover_thumbnail.h"

#include "core/file_operations.h"
#include "core/tessaly_error.h"
#include "core/zip_archive.h"
#include "core/zipped_fb2.h"
#include "covers/base64_decoder.h"
#include "covers/book_formats.h"
#include "covers/cover_fitting.h"
#include "covers/epub_package.h"
#include "covers/fb2_cover.h"
#include "covers/jpeg_codec.h"
#include "covers/pdf_reader.h"
#include "covers/png_recoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The book's kind by its extension, any letter case.
bool hasSuffix(const QString &bookPath, QLatin1StringView suffix)
{
    return QFileInfo(bookPath).suffix().compare(suffix, Qt::CaseInsensitive) == 0;
}

Thumbnail placeholderThumbnail()
{
    return {ThumbnailSource::Placeholder, placeholderCover()};
}

// A JPEG cover within the screen and the allowance is written as the book holds it; any other is
// made again to fit, and one whose header claims a size no cover has gets the placeholder.
std::optional<QByteArray> jpegThumbnail(const QByteArray &picture)
{
    const std::optional<JpegHeader> header = readJpegHeader(picture);
    if (!header)
        return std::nullopt;
    if (header->width <= ReaderScreenWidth && header->height <= ReaderScreenHeight &&
        picture.size() <= ThumbnailAllowanceBytes)
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

// A cover that cannot be decoded gets the placeholder.
Thumbnail thumbnailOf(std::optional<QByteArray> bytes)
{
    return bytes ? Thumbnail{ThumbnailSource::Cover, std::move(*bytes)} : placeholderThumbnail();
}

Thumbnail thumbnailFromCover(const Fb2Cover &cover)
{
    if (cover.base64Data.isEmpty())
        return placeholderThumbnail();
    const QByteArray picture = decodeBase64SkippingOthers(cover.base64Data);
    switch (cover.kind) {
    case CoverKind::Jpeg:
        return thumbnailOf(jpegThumbnail(picture));
    case CoverKind::Png:
        return thumbnailOf(pngThumbnail(picture));
    case CoverKind::Other:
        break;
    }
    return {ThumbnailSource::None, {}};
}

Thumbnail fb2Thumbnail(const QString &bookPath)
{
    // Read-only access: a book file that permits only reading is still a book with a cover.
    QFile book(bookPath);
    if (!book.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return placeholderThumbnail();
    return thumbnailFromCover(findFb2Cover(book));
}

Thumbnail zippedFb2Thumbnail(const QString &bookPath)
{
    const std::optional<QByteArray> text = zippedFb2Text(bookPath);
    return text ? thumbnailFromCover(findFb2Cover(*text)) : placeholderThumbnail();
}

// An EPUB names its picture's type in its manifest, not always truly: the bytes tell.
Thumbnail epubThumbnail(const QString &bookPath)
{
    const std::optional<ZipArchive> archive = ZipArchive::open(bookPath);
    const std::optional<EpubPackage> package = archive ? readEpubPackage(*archive) : std::nullopt;
    const std::optional<QByteArray> picture = package ? epubCoverPicture(*archive, *package) : std::nullopt;
    if (!picture)
        return placeholderThumbnail();
    if (picture->startsWith("\xFF\xD8\xFF"))
        return thumbnailOf(jpegThumbnail(*picture));
    if (picture->startsWith("\x89PNG"))
        return thumbnailOf(pngThumbnail(*picture));
    return placeholderThumbnail();
}

Thumbnail pdfThumbnail(const QString &bookPath, const PdfReader &pdf)
{
    const std::optional<RgbPixels> page = pdf.firstPage(bookPath, ReaderScreenWidth, ReaderScreenHeight);
    return page ? thumbnailOf(fittedCover(*page)) : placeholderThumbnail();
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

Thumbnail coverThumbnail(const QString &bookPath, const BookFormats &formats)
{
    if (formats.zippedFb2 && isZippedBookName(bookPath))
        return zippedFb2Thumbnail(bookPath);
    if (hasSuffix(bookPath, QLatin1StringView("fb2")))
        return fb2Thumbnail(bookPath);
    if (formats.epubAndPdf && hasSuffix(bookPath, QLatin1StringView("epub")))
        return epubThumbnail(bookPath);
    if (formats.epubAndPdf && formats.pdf && hasSuffix(bookPath, QLatin1StringView("pdf")))
        return pdfThumbnail(bookPath, *formats.pdf);
    return placeholderThumbnail();
}

Thumbnail coverThumbnail(const QString &bookPath)
{
    return coverThumbnail(bookPath, BookFormats());
}

ThumbnailSource writeCoverThumbnail(const QString &bookPath, const QString &thumbnailFolder, FileOperations &files)
{
    return writeCoverThumbnail(bookPath, thumbnailFolder, files, BookFormats());
}

ThumbnailSource writeCoverThumbnail(const QString &bookPath, const QString &thumbnailFolder, FileOperations &files,
                                    const BookFormats &formats)
{
    const Thumbnail thumbnail = coverThumbnail(bookPath, formats);
    if (thumbnail.source == ThumbnailSource::None)
        return thumbnail.source;
    const QString path = QDir(thumbnailFolder).filePath(ThumbnailFileName);
    if (!files.writeFile(path, thumbnail.bytes))
        throw TessalyError(thumbnailNotWrittenMessage(path));
    return thumbnail.source;
}

QString thumbnailNotWrittenMessage(const QString &path)
{
    return QStringLiteral("Не удалось записать файл превью %1").arg(QDir::toNativeSeparators(path));
}
