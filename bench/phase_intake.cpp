#include "bench/bench.h"
#include "bench/book_folder.h"
#include "bench/null_progress.h"
#include "bench/resident_memory.h"
#include "booklist/book_table.h"
#include "booklist/fb2_metadata.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Runs = 3;

// The intake's own work, with a progress window that shows nothing, beside the bare walk and
// beside the strict floor: the walk with fstatat relative to each folder and the FB2 heads read.
const BenchPhase intakePhase("intake", {10000, 100000}, [](int n) {
    const WarmBookFolder folder("intake", n);
    const QString &root = folder.root;

    volatile qint64 sink = 0;
    double baseline = 1e9;
    double strict = 1e9;
    for (int run = 0; run < Runs; ++run) {
        baseline = std::min(baseline, secondsFor([&] { sink = sink + walkAndStat(root); }));
        qint64 seen = 0;
        strict = std::min(strict, secondsFor([&] { seen = walkStatAndReadHeads(root, Fb2HeadSize); }));
        if (seen < 0)
            failPhase("intake", QStringLiteral("the folder could not be walked"));
        sink = sink + seen;
    }

    NullProgress progress;
    double tessaly = 1e9;
    long resident = -1;
    for (int run = 0; run < Runs; ++run) {
        BookTable books;
        tessaly = std::min(tessaly, timedFolderIntake("intake", books, progress, root, n));
        resident = std::max(resident, residentMegabytes());
    }
    reportPhase("intake", n, tessaly, baseline);
    reportPhase("intake-strict", n, tessaly, strict);
    std::printf("intake-memory n=%d rss=%ldMB\n", n, resident);
    std::fflush(stdout);
});

// Adding the same folder a second time: the passes run over both copies of every row, then
// the duplicates go. The yardstick is the first addition.
const BenchPhase readdPhase("readd", {100000}, [](int n) {
    const WarmBookFolder folder("readd", n);
    const QString &root = folder.root;

    NullProgress progress;
    double first = 1e9;
    double again = 1e9;
    for (int run = 0; run < Runs; ++run) {
        BookTable books;
        first = std::min(first, timedFolderIntake("readd", books, progress, root, n));
        again = std::min(again, timedFolderIntake("readd", books, progress, root, n));
    }
    reportPhase("readd", n, again, first);
});
} // namespace
