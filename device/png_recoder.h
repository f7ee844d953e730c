#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// A decoded PNG as 8-bit RGB or RGBA rows, top to bottom, without padding.
struct PngPixels
{
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    QByteArray samples;
};

// Decodes PNG bytes with libpng. Bytes that are not a valid PNG (bad signature, damaged chunks,
// cut-off data) or that would decode to an unreasonable size give nothing; libpng never aborts.
std::optional<PngPixels> decodePng(QByteArrayView bytes);

// Encodes pixels as a PNG file's bytes, or nothing when libpng refuses them.
std::optional<QByteArray> encodePng(const PngPixels &pixels);

// Decodes and encodes again: the cover written to the reader is a clean PNG of the same pixels.
std::optional<QByteArray> recodePng(QByteArrayView bytes);
