#include "covers/rgb_pixels.h"

#include <algorithm>
#include <vector>

RgbPixels scaledToFit(const RgbPixels &pixels, int maxWidth, int maxHeight)
{
    if (pixels.width <= maxWidth && pixels.height <= maxHeight)
        return pixels;
    // The smaller of the two ratios decides; each side is at least one pixel.
    const double ratio = std::min(double(maxWidth) / pixels.width, double(maxHeight) / pixels.height);
    RgbPixels scaled;
    scaled.width = std::max(1, int(pixels.width * ratio));
    scaled.height = std::max(1, int(pixels.height * ratio));
    scaled.hasAlpha = pixels.hasAlpha;
    const int channels = pixels.channels();
    scaled.samples = QByteArray(qsizetype(scaled.width) * scaled.height * channels, Qt::Uninitialized);

    // Each target column and row covers a whole number of source columns and rows, at least one.
    std::vector<int> columnStart(size_t(scaled.width) + 1);
    for (int x = 0; x <= scaled.width; ++x)
        columnStart[size_t(x)] = int(qint64(x) * pixels.width / scaled.width);
    const auto *source = reinterpret_cast<const uchar *>(pixels.samples.constData());
    auto *target = reinterpret_cast<uchar *>(scaled.samples.data());
    std::vector<quint64> sums(size_t(scaled.width) * size_t(channels));
    for (int y = 0; y < scaled.height; ++y) {
        const int rowFrom = int(qint64(y) * pixels.height / scaled.height);
        const int rowTo = std::max(rowFrom + 1, int(qint64(y + 1) * pixels.height / scaled.height));
        std::fill(sums.begin(), sums.end(), 0);
        for (int row = rowFrom; row < rowTo; ++row) {
            const uchar *line = source + qsizetype(row) * pixels.width * channels;
            for (int x = 0; x < scaled.width; ++x) {
                const int to = std::max(columnStart[size_t(x)] + 1, columnStart[size_t(x) + 1]);
                for (int column = columnStart[size_t(x)]; column < to; ++column)
                    for (int c = 0; c < channels; ++c)
                        sums[size_t(x) * size_t(channels) + size_t(c)] += line[qsizetype(column) * channels + c];
            }
        }
        uchar *out = target + qsizetype(y) * scaled.width * channels;
        for (int x = 0; x < scaled.width; ++x) {
            const int columns =
                std::max(columnStart[size_t(x)] + 1, columnStart[size_t(x) + 1]) - columnStart[size_t(x)];
            const quint64 count = quint64(columns) * quint64(rowTo - rowFrom);
            for (int c = 0; c < channels; ++c)
                out[x * channels + c] = uchar((sums[size_t(x) * size_t(channels) + size_t(c)] + count / 2) / count);
        }
    }
    return scaled;
}

RgbPixels onWhite(const RgbPixels &pixels)
{
    if (!pixels.hasAlpha)
        return pixels;
    RgbPixels opaque;
    opaque.width = pixels.width;
    opaque.height = pixels.height;
    const qsizetype count = qsizetype(pixels.width) * pixels.height;
    opaque.samples = QByteArray(count * 3, Qt::Uninitialized);
    const auto *from = reinterpret_cast<const uchar *>(pixels.samples.constData());
    auto *to = reinterpret_cast<uchar *>(opaque.samples.data());
    for (qsizetype i = 0; i < count; ++i) {
        const int alpha = from[i * 4 + 3];
        for (int c = 0; c < 3; ++c)
            to[i * 3 + c] = uchar((from[i * 4 + c] * alpha + 255 * (255 - alpha) + 127) / 255);
    }
    return opaque;
}
