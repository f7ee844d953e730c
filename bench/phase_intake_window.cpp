#include "app/progress_window.h"
#include "bench/bench.h"
#include "bench/book_folder.h"
#include "bench/null_progress.h"
#include "booklist/book_table.h"

#include <QGuiApplication>

#include <algorithm>

namespace {
constexpr int Runs = 3;

// What the user waits for when adding a folder: the intake with the real progress window on
// an X server, beside the same intake with a progress window that shows nothing.
const BenchPhase intakeWindowPhase(
    "intake-window", {10000, 100000},
    [](int n) {
        const WarmBookFolder folder("intake-window", n);
        const QString &root = folder.root;

        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            failPhase("intake-window", QStringLiteral("needs an X server, not ") + QGuiApplication::platformName());
        ProgressWindow window;
        NullProgress nothing;
        double shown = 1e9;
        double unshown = 1e9;
        for (int run = 0; run < Runs; ++run) {
            BookTable withNothing;
            unshown = std::min(unshown, timedFolderIntake("intake-window", withNothing, nothing, root, n));
            BookTable withWindow;
            shown = std::min(shown, timedFolderIntake("intake-window", withWindow, window, root, n));
        }
        reportPhase("intake-window", n, shown, unshown);
    },
    BenchScreen::X11);
} // namespace
