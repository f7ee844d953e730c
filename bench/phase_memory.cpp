#include "bench/bench.h"
#include "bench/book_folder.h"
#include "bench/null_progress.h"
#include "bench/resident_memory.h"
#include "collections/library_page.h"

#include <cstdio>

namespace {
// Resident memory through a session: the folder added, added again, the lists emptied as a
// mode switch empties them, and the folder added once more. The last peak is measured
// against the first. Run it alone: other phases leave their own memory behind.
const BenchPhase memoryPhase("memory", {100000}, [](int n) {
    const WarmBookFolder folder("memory", n);
    const QString &root = folder.root;

    NullProgress progress;
    LibraryPage page(LibraryPage::Kind::Creation);
    const long start = residentMegabytes();
    resetPeakResident();
    timedFolderIntake("memory", page.books, progress, root, n);
    const long firstPeak = peakResidentMegabytes();
    resetPeakResident();
    timedFolderIntake("memory", page.books, progress, root, n);
    const long readdPeak = peakResidentMegabytes();
    emptyLibraryPage(page);
    const long emptied = residentMegabytes();
    resetPeakResident();
    timedFolderIntake("memory", page.books, progress, root, n);
    const long againPeak = peakResidentMegabytes();
    if (start < 0 || firstPeak < 0 || againPeak < 0)
        failPhase("memory", QStringLiteral("the resident memory cannot be read here"));

    std::printf("memory n=%d start=%ldMB first-peak=%ldMB readd-peak=%ldMB emptied=%ldMB again-peak=%ldMB "
                "ratio=%.2f\n",
                n, start, firstPeak, readdPeak, emptied, againPeak, double(againPeak) / double(firstPeak));
    std::fflush(stdout);
});
} // namespace
