#include "device/png_recoder.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

// A PNG cover is decoded and encoded again before it is written to the reader.
void fuzzPngRecoding(QByteArrayView input)
{
    const std::optional<QByteArray> written = recodePng(input);
    if (!written)
        return;
    const std::optional<PngPixels> original = decodePng(input);
    const std::optional<PngPixels> reread = decodePng(*written);
    fuzzCheck(original && reread, "a recoded PNG decodes again");
    fuzzCheck(reread->width == original->width && reread->height == original->height &&
                  reread->hasAlpha == original->hasAlpha && reread->samples == original->samples,
              "a recoded PNG holds the same pixels");
}
