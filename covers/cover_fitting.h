#pragma once

#include "covers/rgb_pixels.h"

#include <QByteArray>

#include <optional>

// What the space check allows each book's thumbnail on the reader.
inline constexpr qsizetype ThumbnailAllowanceBytes = 200 * 1024;

// The reader's screen, in pixels: a cover larger than this shows no more detail there.
inline constexpr int ReaderScreenWidth = 758;
inline constexpr int ReaderScreenHeight = 1024;

// A cover made again as a JPEG that fits the reader's screen and the thumbnail allowance: scaled
// down as far as it must be, on white where it is transparent. Nothing when libjpeg fails.
std::optional<QByteArray> fittedCover(const RgbPixels &pixels);
