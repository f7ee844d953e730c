#pragma once

#include "covers/rgb_pixels.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

struct JpegHeader
{
    int width = 0;
    int height = 0;
    int components = 0; // colour channels: 1 grey, 3 YCbCr or RGB, 4 CMYK
};

// Reads the header of a JPEG held in memory with libjpeg. Bytes that are not a JPEG, or are cut
// off before the first scan, give nothing; libjpeg's errors never leave this function.
std::optional<JpegHeader> readJpegHeader(QByteArrayView bytes);

// Decodes a JPEG into RGB pixels, at least as large as the picture made to fit `fitWidth` x
// `fitHeight` would be (libjpeg skips the detail beyond that while decoding). Nothing for bytes
// that are not a JPEG or a picture larger than a cover can be.
std::optional<RgbPixels> decodeJpeg(QByteArrayView bytes, int fitWidth, int fitHeight);

// Encodes RGB pixels (an alpha channel is not allowed) as a JPEG of `quality` from 1 to 100.
std::optional<QByteArray> encodeJpeg(const RgbPixels &pixels, int quality);
