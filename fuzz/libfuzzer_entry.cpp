#include "fuzz/fuzz_targets.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// One libFuzzer program per target; TESSALY_FUZZ_TARGET names it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzTarget *const target = [] {
        const FuzzTarget *named = fuzzTargetNamed(TESSALY_FUZZ_TARGET);
        if (!named) {
            std::fprintf(stderr, "No fuzz target named %s\n", TESSALY_FUZZ_TARGET);
            std::abort();
        }
        return named;
    }();
    target->run(QByteArrayView(data, qsizetype(size)));
    return 0;
}
