#include "fuzz/fuzz_targets.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array Targets{
    FuzzTarget{"fb2_metadata", fuzzFb2Metadata}, FuzzTarget{"text_decoding", fuzzTextDecoding},
    FuzzTarget{"fb2_cover", fuzzFb2Cover},       FuzzTarget{"jpeg_cover", fuzzJpegCover},
    FuzzTarget{"png_cover", fuzzPngCover},       FuzzTarget{"reader_database", fuzzReaderDatabase},
    FuzzTarget{"zipped_fb2", fuzzZippedFb2},     FuzzTarget{"epub_package", fuzzEpubPackage},
};
} // namespace

std::span<const FuzzTarget> fuzzTargets()
{
    return Targets;
}

const FuzzTarget *fuzzTargetNamed(std::string_view name)
{
    const auto found =
        std::find_if(Targets.begin(), Targets.end(), [&](const FuzzTarget &t) { return t.name == name; });
    return found == Targets.end() ? nullptr : &*found;
}
