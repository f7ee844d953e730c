#pragma once

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
