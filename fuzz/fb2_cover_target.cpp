#include "covers/base64_decoder.h"
#include "covers/fb2_cover.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

// Each book's thumbnail starts with finding the cover in the FB2 text and decoding its base64.
void fuzzFb2Cover(QByteArrayView input)
{
    const Fb2Cover cover = findFb2Cover(input.toByteArray());
    fuzzCheck(!cover.imageId.isEmpty() || cover.base64Data.isEmpty(), "no cover data without a cover id");
    const QByteArray picture = decodeBase64SkippingOthers(cover.base64Data);
    fuzzCheck(decodeBase64SkippingOthers(picture.toBase64()) == picture, "standard base64 decodes back");
}
