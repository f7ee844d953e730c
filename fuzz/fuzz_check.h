#pragma once

#include <cstdio>
#include <cstdlib>

// A promise of the code under test that an input broke: reported like a crash, so libFuzzer
// keeps the input and the replay of kept inputs fails.
inline void fuzzCheck(bool kept, const char *promise)
{
    if (kept)
        return;
    std::fprintf(stderr, "Broken promise: %s\n", promise);
    std::abort();
}
