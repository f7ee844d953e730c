#pragma once

#include "covers/cover_fitting.h"
#include "covers/jpeg_codec.h"
#include "fuzz/fuzz_check.h"

// A decoded cover made again to fit the reader: a JPEG within its screen and the thumbnail allowance.
inline void checkFittedCover(const RgbPixels &pixels)
{
    fuzzCheck(pixels.isValid(), "a decoded picture holds its pixels");
    const std::optional<QByteArray> fitted = fittedCover(pixels);
    if (!fitted)
        return;
    const std::optional<JpegHeader> header = readJpegHeader(*fitted);
    fuzzCheck(header && header->width <= ReaderScreenWidth && header->height <= ReaderScreenHeight &&
                  fitted->size() <= ThumbnailAllowanceBytes,
              "a fitted cover is a JPEG within the screen and the allowance");
}
