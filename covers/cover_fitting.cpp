#include "covers/cover_fitting.h"

#include "covers/jpeg_codec.h"

#include <algorithm>

namespace {
// From the quality a cover deserves down to the lowest still worth looking at.
constexpr int Qualities[] = {85, 75, 60, 45, 30};
} // namespace

std::optional<QByteArray> fittedCover(const RgbPixels &pixels)
{
    RgbPixels picture = scaledToFit(onWhite(pixels), ReaderScreenWidth, ReaderScreenHeight);
    // A picture of pure noise may not fit even at the lowest quality: it is halved until it does.
    for (;;) {
        for (const int quality : Qualities) {
            std::optional<QByteArray> jpeg = encodeJpeg(picture, quality);
            if (!jpeg)
                return std::nullopt;
            if (jpeg->size() <= ThumbnailAllowanceBytes)
                return jpeg;
        }
        if (picture.width == 1 && picture.height == 1)
            return std::nullopt;
        picture = scaledToFit(picture, std::max(1, picture.width / 2), std::max(1, picture.height / 2));
    }
}
