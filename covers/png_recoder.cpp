#include "covers/png_recoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace {
// Larger than any real cover; a crafted header cannot make us allocate gigabytes.
constexpr qint64 MaxDecodedBytes = qint64(256) * 1024 * 1024;
constexpr png_uint_32 MaxSide = 20000;
// What one ancillary chunk (a text, a colour profile) may take once read and inflated.
constexpr png_alloc_size_t MaxChunkBytes = 4 * 1024 * 1024;
constexpr png_uint_32 MaxAncillaryChunks = 64;

// libpng reports a fatal error through this function, which must not return: it jumps back to
// the setjmp of the function that called into libpng. Warnings are of no interest here.
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

// Owns libpng's read structures; destroying them is safe whatever state a failure left.
class PngReader
{
public:
    PngReader()
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, discardWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~PngReader() { png_destroy_read_struct(&png, &info, nullptr); }
    PngReader(const PngReader &) = delete;
    PngReader &operator=(const PngReader &) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

struct ReadCursor
{
    const png_byte *data;
    size_t size;
    size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, size_t length)
{
    auto *cursor = static_cast<ReadCursor *>(png_get_io_ptr(png));
    if (length > cursor->size - cursor->offset)
        png_error(png, "cut off");
    std::memcpy(out, cursor->data + cursor->offset, length);
    cursor->offset += length;
}

// Whether every chunk lies within the bytes. libpng allocates what a chunk declares before it reads
// it, so a few bytes declaring a chunk of gigabytes would cost gigabytes of memory and seconds.
bool chunksFitIn(QByteArrayView bytes)
{
    constexpr qsizetype SignatureSize = 8;
    constexpr qsizetype ChunkFrame = 12; // length, type and check sum
    qsizetype at = SignatureSize;
    while (at < bytes.size()) {
        if (bytes.size() - at < ChunkFrame)
            return false;
        const auto *length = reinterpret_cast<const uchar *>(bytes.data() + at);
        const quint64 declared =
            (quint64(length[0]) << 24) | (quint64(length[1]) << 16) | (quint64(length[2]) << 8) | quint64(length[3]);
        if (declared > quint64(bytes.size() - at - ChunkFrame))
            return false;
        // Whatever follows the end of the picture is not read.
        if (bytes.sliced(at + 4, 4) == QByteArrayView("IEND"))
            return true;
        at += ChunkFrame + qsizetype(declared);
    }
    return true;
}

// Reads the header and asks libpng for 8-bit RGB or RGBA rows, whatever the file's kind. Nothing
// with a destructor is created in this frame, so a jump out of libpng skips no clean-up.
bool readHeader(PngReader &reader, ReadCursor &cursor, RgbPixels &pixels)
{
    png_structp png = reader.png;
    png_infop info = reader.info;
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_user_limits(png, MaxSide, MaxSide);
    png_set_chunk_malloc_max(png, MaxChunkBytes);
    png_set_chunk_cache_max(png, MaxAncillaryChunks);
    png_set_read_fn(png, &cursor, readFromMemory);
    png_read_info(png, info);
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_scale_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    pixels.width = int(png_get_image_width(png, info));
    pixels.height = int(png_get_image_height(png, info));
    pixels.hasAlpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0;
    return png_get_bit_depth(png, info) == 8 && png_get_channels(png, info) == pixels.channels();
}

// Reads every pass of the picture into `rows`, the same way.
bool readRows(PngReader &reader, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(reader.png)) != 0)
        return false;
    png_read_image(reader.png, rows);
    return true;
}

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
bool writeImage(PngWriter &writer, const RgbPixels &pixels, const png_const_bytep *rows, QByteArray &encoded)
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

std::optional<RgbPixels> decodePng(QByteArrayView bytes)
{
    if (!chunksFitIn(bytes))
        return std::nullopt;
    PngReader reader;
    if (!reader.png || !reader.info)
        return std::nullopt;
    ReadCursor cursor{reinterpret_cast<const png_byte *>(bytes.data()), size_t(bytes.size()), 0};
    RgbPixels pixels;
    if (!readHeader(reader, cursor, pixels))
        return std::nullopt;
    const qint64 size = qint64(pixels.width) * pixels.height * pixels.channels();
    if (size > MaxDecodedBytes || qint64(png_get_rowbytes(reader.png, reader.info)) * pixels.height != size)
        return std::nullopt;
    pixels.samples = QByteArray(qsizetype(size), Qt::Uninitialized);
    std::vector<png_bytep> rows(size_t(pixels.height));
    for (int row = 0; row < pixels.height; ++row)
        rows[size_t(row)] =
            reinterpret_cast<png_bytep>(pixels.samples.data() + qsizetype(row) * pixels.width * pixels.channels());
    if (!readRows(reader, rows.data()))
        return std::nullopt;
    return pixels;
}

std::optional<QByteArray> encodePng(const RgbPixels &pixels)
{
    const qint64 stride = qint64(pixels.width) * pixels.channels();
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
    const std::optional<RgbPixels> pixels = decodePng(bytes);
    if (!pixels)
        return std::nullopt;
    return encodePng(*pixels);
}
