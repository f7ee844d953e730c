#include "device/jpeg_header.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

// A JPEG cover is written to the reader only when its header reads as a picture.
void fuzzJpegHeader(QByteArrayView input)
{
    if (const std::optional<JpegHeader> header = readJpegHeader(input))
        fuzzCheck(header->width > 0 && header->height > 0 && header->components > 0, "a JPEG header names a picture");
}
