#include "covers/cover_fitting.h"
#include "covers/jpeg_codec.h"
#include "fuzz/cover_promises.h"
#include "fuzz/fuzz_targets.h"

// A JPEG cover is written to the reader only when its header reads as a picture; one past the
// thumbnail allowance is decoded at the screen's size and made again to fit.
void fuzzJpegCover(QByteArrayView input)
{
    const std::optional<JpegHeader> header = readJpegHeader(input);
    if (!header)
        return;
    fuzzCheck(header->width > 0 && header->height > 0 && header->components > 0, "a JPEG header names a picture");
    if (const std::optional<RgbPixels> pixels = decodeJpeg(input, ReaderScreenWidth, ReaderScreenHeight))
        checkFittedCover(*pixels);
}
