#include "device/png_recoder.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace {
// Larger than any real cover; a crafted header cannot make us allocate gigabytes.
constexpr qint64 MaxDecodedBytes = qint64(256) * 1024 * 1024;

// Reading goes through libpng's simplified API, which keeps its error handling inside (it returns
// 0 on failure); what it allocates is released by png_image_free, harmless to call twice.
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

// libpng reports a fatal error through this function, which must not return: it jumps back to
// the setjmp in writeImage. Warnings are of no interest for our own pixels.
[[noreturn]] void jumpOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void discardWarning(png_structp, png_const_charp)
{}

void appendToBuffer(png_structp png, png_bytep data, size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))->append(reinterpret_cast<const char *>(data), qsizetype(length));
}
void flushNothing(png_structp)
{}

// Owns libpng's write structures; destroying them is safe whatever state a failure left.
class PngWriter
{
public:
    PngWriter()
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, discardWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
    PngWriter(const PngWriter &) = delete;
    PngWriter &operator=(const PngWriter &) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// Nothing with a destructor is created in this frame, so a jump out of libpng skips no clean-up.
// The sub filter with light compression: several times faster than libpng's defaults on covers,
// for files about the same size; every book's thumbnail is written on each synchronisation.
bool writeImage(PngWriter &writer, const PngPixels &pixels, const png_const_bytep *rows, QByteArray &encoded)
{
    if (setjmp(png_jmpbuf(writer.png)) != 0)
        return false;
    png_set_write_fn(writer.png, &encoded, appendToBuffer, flushNothing);
    png_set_IHDR(writer.png, writer.info, png_uint_32(pixels.width), png_uint_32(pixels.height), 8,
                 pixels.hasAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(writer.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(writer.png, 3);
    png_write_info(writer.png, writer.info);
    png_write_image(writer.png, const_cast<png_bytepp>(rows));
    png_write_end(writer.png, writer.info);
    return true;
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
    const qint64 stride = qint64(pixels.width) * channelsOf(pixels.hasAlpha);
    if (pixels.width <= 0 || pixels.height <= 0 || pixels.samples.size() != stride * pixels.height)
        return std::nullopt;
    std::vector<png_const_bytep> rows(size_t(pixels.height));
    for (int row = 0; row < pixels.height; ++row)
        rows[size_t(row)] = reinterpret_cast<png_const_bytep>(pixels.samples.constData() + row * stride);
    PngWriter writer;
    QByteArray encoded;
    if (!writer.png || !writer.info || !writeImage(writer, pixels, rows.data(), encoded))
        return std::nullopt;
    return encoded;
}

std::optional<QByteArray> recodePng(QByteArrayView bytes)
{
    const std::optional<PngPixels> pixels = decodePng(bytes);
    if (!pixels)
        return std::nullopt;
    return encodePng(*pixels);
}
