#include "device/png_recoder.h"

#include <png.h>

namespace {
// Larger than any real cover; a crafted header cannot make us allocate gigabytes.
constexpr qint64 MaxDecodedBytes = qint64(256) * 1024 * 1024;

// libpng's simplified API keeps its error handling inside (it returns 0 on failure); what it
// allocates is released by png_image_free, which is harmless to call twice.
class PngImage
{
public:
    PngImage()
    {
        image = {};
        image.version = PNG_IMAGE_VERSION;
    }
    ~PngImage() { png_image_free(&image); }
    PngImage(const PngImage &) = delete;
    PngImage &operator=(const PngImage &) = delete;

    png_image image;
};

int channelsOf(bool hasAlpha)
{
    return hasAlpha ? 4 : 3;
}
} // namespace

std::optional<PngPixels> decodePng(QByteArrayView bytes)
{
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, bytes.data(), size_t(bytes.size())))
        return std::nullopt;
    PngPixels pixels;
    pixels.width = int(png.image.width);
    pixels.height = int(png.image.height);
    pixels.hasAlpha = (png.image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    const qint64 size = qint64(png.image.width) * qint64(png.image.height) * channelsOf(pixels.hasAlpha);
    if (size <= 0 || size > MaxDecodedBytes)
        return std::nullopt;
    png.image.format = pixels.hasAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    pixels.samples = QByteArray(qsizetype(size), Qt::Uninitialized);
    if (!png_image_finish_read(&png.image, nullptr, pixels.samples.data(), 0, nullptr))
        return std::nullopt;
    return pixels;
}

std::optional<QByteArray> encodePng(const PngPixels &pixels)
{
    const qint64 expected = qint64(pixels.width) * pixels.height * channelsOf(pixels.hasAlpha);
    if (pixels.width <= 0 || pixels.height <= 0 || pixels.samples.size() != expected)
        return std::nullopt;
    PngImage png;
    png.image.width = png_uint_32(pixels.width);
    png.image.height = png_uint_32(pixels.height);
    png.image.format = pixels.hasAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png.image);
    QByteArray encoded(qsizetype(size), Qt::Uninitialized);
    if (!png_image_write_to_memory(&png.image, encoded.data(), &size, 0, pixels.samples.constData(), 0, nullptr))
        return std::nullopt;
    encoded.truncate(qsizetype(size));
    return encoded;
}

std::optional<QByteArray> recodePng(QByteArrayView bytes)
{
    const std::optional<PngPixels> pixels = decodePng(bytes);
    if (!pixels)
        return std::nullopt;
    return encodePng(*pixels);
}
