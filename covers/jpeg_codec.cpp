#include "covers/jpeg_codec.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {
// Larger than any real cover. libjpeg keeps a progressive picture's coefficients for the whole
// picture whatever the scale it decodes at, so the limit is on the picture's own size.
constexpr qint64 MaxPixels = 25'000'000;

// libjpeg reports a fatal error through error_exit, which must not return: it jumps back here.
struct ErrorTrap
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jumpOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap *>(info->err)->jump, 1);
}

// A damaged cover is an expected case: nothing goes to stderr.
void discardMessage(j_common_ptr)
{}
void discardWarning(j_common_ptr, int)
{}

// Sets `trap` up as a codec's error handler: fatal errors jump, messages go nowhere.
jpeg_error_mgr *trapErrors(ErrorTrap &trap)
{
    std::memset(&trap, 0, sizeof trap);
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = jumpOnError;
    trap.manager.output_message = discardMessage;
    trap.manager.emit_message = discardWarning;
    return &trap.manager;
}

// Owns the decompressor. It starts zeroed, so destroying one whose creation failed is harmless.
class Decompressor
{
public:
    Decompressor()
    {
        std::memset(&info, 0, sizeof info);
        info.err = trapErrors(trap);
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;

    jpeg_decompress_struct info;
    ErrorTrap trap;
};

// Owns the compressor, the same way, and the memory libjpeg writes the file into.
class Compressor
{
public:
    Compressor()
    {
        std::memset(&info, 0, sizeof info);
        info.err = trapErrors(trap);
    }
    ~Compressor()
    {
        jpeg_destroy_compress(&info);
        std::free(output);
    }
    Compressor(const Compressor &) = delete;
    Compressor &operator=(const Compressor &) = delete;

    jpeg_compress_struct info;
    ErrorTrap trap;
    unsigned char *output = nullptr;
    unsigned long outputSize = 0;
};

bool fitsLibjpeg(QByteArrayView bytes)
{
    // Where unsigned long is 32 bits wide, a picture past 4 GiB cannot be handed to libjpeg.
    if constexpr (sizeof(unsigned long) < sizeof(qsizetype))
        return bytes.size() <= qsizetype(ULONG_MAX);
    return true;
}

// The largest of libjpeg's scales 1/1, 1/2, 1/4 and 1/8 that keeps the picture at least as large
// as it will be once fitted into the box.
unsigned int scaleDenominator(int width, int height, int fitWidth, int fitHeight)
{
    const double ratio = std::min(1.0, std::min(double(fitWidth) / width, double(fitHeight) / height));
    unsigned int denominator = 1;
    while (denominator < 8 && width / int(denominator * 2) >= int(width * ratio) &&
           height / int(denominator * 2) >= int(height * ratio))
        denominator *= 2;
    return denominator;
}

// Adobe's CMYK JPEGs store the inks inverted: white is all 255.
void cmykToRgb(const unsigned char *cmyk, unsigned char *rgb, int width)
{
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3)
        for (int c = 0; c < 3; ++c)
            rgb[c] = static_cast<unsigned char>(cmyk[c] * cmyk[3] / 255);
}

// Reads the header and starts decoding into RGB (CMYK kept for cmykToRgb); `pixels` gets the
// output size. As in readHeaderInto, nothing with a destructor lives in this frame.
bool startDecoding(Decompressor &decompressor, QByteArrayView bytes, int fitWidth, int fitHeight, RgbPixels &pixels)
{
    jpeg_decompress_struct &info = decompressor.info;
    if (setjmp(decompressor.trap.jump) != 0)
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
        qint64(info.image_width) * qint64(info.image_height) > MaxPixels)
        return false;
    info.out_color_space = info.num_components == 4 ? JCS_CMYK : JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = scaleDenominator(int(info.image_width), int(info.image_height), fitWidth, fitHeight);
    jpeg_start_decompress(&info);
    pixels.width = int(info.output_width);
    pixels.height = int(info.output_height);
    return info.output_components == (info.num_components == 4 ? 4 : 3);
}

// Decodes the rows into `pixels`, which holds room for them; `row` holds one row as decoded.
bool decodeRows(Decompressor &decompressor, RgbPixels &pixels, unsigned char *row)
{
    jpeg_decompress_struct &info = decompressor.info;
    if (setjmp(decompressor.trap.jump) != 0)
        return false;
    const bool cmyk = info.out_color_space == JCS_CMYK;
    auto *out = reinterpret_cast<unsigned char *>(pixels.samples.data());
    while (info.output_scanline < info.output_height) {
        unsigned char *target = cmyk ? row : out + qsizetype(info.output_scanline) * pixels.width * 3;
        JSAMPROW rows[1] = {target};
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            return false;
        if (cmyk)
            cmykToRgb(row, out + qsizetype(info.output_scanline - 1) * pixels.width * 3, pixels.width);
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool compress(Compressor &compressor, const RgbPixels &pixels, int quality)
{
    jpeg_compress_struct &info = compressor.info;
    if (setjmp(compressor.trap.jump) != 0)
        return false;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &compressor.output, &compressor.outputSize);
    info.image_width = JDIMENSION(pixels.width);
    info.image_height = JDIMENSION(pixels.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {const_cast<unsigned char *>(reinterpret_cast<const unsigned char *>(
            pixels.samples.constData() + qsizetype(info.next_scanline) * pixels.width * 3))};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

// Nothing with a destructor lives in this frame, so a jump out of libjpeg skips no clean-up; the
// decompressor itself is destroyed by the caller's frame.
bool readHeaderInto(Decompressor &decompressor, const unsigned char *bytes, unsigned long size, JpegHeader &header)
{
    if (setjmp(decompressor.trap.jump) != 0)
        return false;
    jpeg_create_decompress(&decompressor.info);
    jpeg_mem_src(&decompressor.info, bytes, size);
    if (jpeg_read_header(&decompressor.info, TRUE) != JPEG_HEADER_OK)
        return false;
    header.width = int(decompressor.info.image_width);
    header.height = int(decompressor.info.image_height);
    header.components = decompressor.info.num_components;
    return true;
}
} // namespace

std::optional<JpegHeader> readJpegHeader(QByteArrayView bytes)
{
    if (bytes.isEmpty() || !fitsLibjpeg(bytes))
        return std::nullopt;
    Decompressor decompressor;
    JpegHeader header;
    if (!readHeaderInto(decompressor, reinterpret_cast<const unsigned char *>(bytes.data()),
                        static_cast<unsigned long>(bytes.size()), header))
        return std::nullopt;
    return header;
}

std::optional<RgbPixels> decodeJpeg(QByteArrayView bytes, int fitWidth, int fitHeight)
{
    if (bytes.isEmpty() || !fitsLibjpeg(bytes) || fitWidth <= 0 || fitHeight <= 0)
        return std::nullopt;
    Decompressor decompressor;
    RgbPixels pixels;
    if (!startDecoding(decompressor, bytes, fitWidth, fitHeight, pixels))
        return std::nullopt;
    pixels.samples = QByteArray(qsizetype(pixels.width) * pixels.height * 3, Qt::Uninitialized);
    std::vector<unsigned char> row(size_t(pixels.width) * 4);
    if (!decodeRows(decompressor, pixels, row.data()))
        return std::nullopt;
    return pixels;
}

std::optional<QByteArray> encodeJpeg(const RgbPixels &pixels, int quality)
{
    if (!pixels.isValid() || pixels.hasAlpha)
        return std::nullopt;
    Compressor compressor;
    if (!compress(compressor, pixels, quality))
        return std::nullopt;
    return QByteArray(reinterpret_cast<const char *>(compressor.output), qsizetype(compressor.outputSize));
}
