#include "bench/bench.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
struct Registered
{
    const char *name;
    std::vector<int> sizes;
    std::function<void(int)> run;
};

std::vector<Registered> &phases()
{
    static std::vector<Registered> registered;
    return registered;
}
} // namespace

BenchPhase::BenchPhase(const char *name, std::vector<int> defaultSizes, std::function<void(int)> run)
{
    phases().push_back({name, std::move(defaultSizes), std::move(run)});
}

void reportPhase(const char *name, int n, double tessalySeconds, double baselineSeconds)
{
    std::printf("%s n=%d tessaly=%.2fs baseline=%.2fs ratio=%.2f\n", name, n, tessalySeconds, baselineSeconds,
                baselineSeconds > 0 ? tessalySeconds / baselineSeconds : 0.0);
    std::fflush(stdout);
}

double secondsFor(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

int main(int argc, char *argv[])
{
    // Grid phases need a GUI application; no screen is needed for measuring.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::string only;
    int n = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--phase") == 0)
            only = argv[i + 1];
        else if (std::strcmp(argv[i], "--n") == 0)
            n = std::atoi(argv[i + 1]);
    }
    bool ran = false;
    for (const Registered &phase : phases()) {
        if (!only.empty() && only != phase.name)
            continue;
        ran = true;
        if (n > 0)
            phase.run(n);
        else
            for (int size : phase.sizes)
                phase.run(size);
    }
    if (!ran) {
        std::fprintf(stderr, "usage: tessaly_bench [--phase NAME] [--n N]; phases:");
        for (const Registered &phase : phases())
            std::fprintf(stderr, " %s", phase.name);
        std::fprintf(stderr, "\n");
        return 1;
    }
    return 0;
}
