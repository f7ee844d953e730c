#pragma once

#include <QByteArray>

// A picture as 8-bit RGB or RGBA samples, rows top to bottom without padding.
struct RgbPixels
{
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    QByteArray samples;

    int channels() const { return hasAlpha ? 4 : 3; }
    bool isValid() const { return width > 0 && height > 0 && samples.size() == qsizetype(width) * height * channels(); }
};

// The picture made as small as it must be to fit `maxWidth` x `maxHeight`, its proportions kept,
// each new pixel the average of the pixels it covers. A picture that fits already stays as it is.
RgbPixels scaledToFit(const RgbPixels &pixels, int maxWidth, int maxHeight);

// The picture laid on a white background: what a reader that shows no transparency shows.
RgbPixels onWhite(const RgbPixels &pixels);
