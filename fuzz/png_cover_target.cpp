#include "covers/png_recoder.h"
#include "fuzz/cover_promises.h"
#include "fuzz/fuzz_targets.h"

// A PNG cover is decoded and encoded again before it is written to the reader; one past the
// screen or the thumbnail allowance is made again to fit.
void fuzzPngCover(QByteArrayView input)
{
    const std::optional<RgbPixels> original = decodePng(input);
    const std::optional<QByteArray> written = recodePng(input);
    fuzzCheck(original.has_value() == written.has_value(), "a PNG that decodes is encoded again");
    if (!original)
        return;
    const std::optional<RgbPixels> reread = decodePng(*written);
    fuzzCheck(reread && reread->width == original->width && reread->height == original->height &&
                  reread->hasAlpha == original->hasAlpha && reread->samples == original->samples,
              "a recoded PNG holds the same pixels");
    checkFittedCover(*original);
}
