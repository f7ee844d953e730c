#include "device/jpeg_header.h"

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {
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

// Owns the decompressor. It starts zeroed, so destroying one whose creation failed is harmless.
class Decompressor
{
public:
    Decompressor()
    {
        std::memset(&info, 0, sizeof info);
        std::memset(&trap, 0, sizeof trap);
        info.err = jpeg_std_error(&trap.manager);
        trap.manager.error_exit = jumpOnError;
        trap.manager.output_message = discardMessage;
        trap.manager.emit_message = discardWarning;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;

    jpeg_decompress_struct info;
    ErrorTrap trap;
};

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
    if (bytes.isEmpty())
        return std::nullopt;
    // Where unsigned long is 32 bits wide, a picture past 4 GiB cannot be handed to libjpeg.
    if constexpr (sizeof(unsigned long) < sizeof(qsizetype)) {
        if (bytes.size() > qsizetype(ULONG_MAX))
            return std::nullopt;
    }
    Decompressor decompressor;
    JpegHeader header;
    if (!readHeaderInto(decompressor, reinterpret_cast<const unsigned char *>(bytes.data()),
                        static_cast<unsigned long>(bytes.size()), header))
        return std::nullopt;
    return header;
}
