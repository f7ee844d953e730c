#pragma once

#include "covers/rgb_pixels.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Decodes PNG bytes of any kind libpng reads (grey, palette, RGB, with or without alpha or a
// transparent colour, 1 to 16 bits, plain or interlaced) into 8-bit RGB, or RGBA where the picture
// has transparency; samples of 16 bits are rounded to 8 and no gamma is applied. Bytes that are not
// a valid PNG (bad signature, damaged chunks, cut-off data), or that would take more memory than a
// cover can need (huge sides, huge chunks), give nothing.
std::optional<RgbPixels> decodePng(QByteArrayView bytes);

// Encodes pixels as a PNG file's bytes, or nothing when libpng refuses them.
std::optional<QByteArray> encodePng(const RgbPixels &pixels);

// Decodes and encodes again: the cover written to the reader is a clean PNG of the same pixels.
std::optional<QByteArray> recodePng(QByteArrayView bytes);
