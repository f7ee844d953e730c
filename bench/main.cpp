#include "bench/bench.h"
#include "bench/virtual_display.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {
struct Registered
{
    const char *name;
    std::vector<int> sizes;
    std::function<void(int)> run;
    BenchScreen screen;
};

std::vector<Registered> &phases()
{
    static std::vector<Registered> registered;
    return registered;
}
} // namespace

BenchPhase::BenchPhase(const char *name, std::vector<int> defaultSizes, std::function<void(int)> run,
                       BenchScreen screen)
{
    phases().push_back({name, std::move(defaultSizes), std::move(run), screen});
}

void reportPhase(const char *name, int n, double tessalySeconds, double baselineSeconds)
{
    std::printf("%s n=%d tessaly=%.2fs baseline=%.2fs ratio=%.2f\n", name, n, tessalySeconds, baselineSeconds,
                baselineSeconds > 0 ? tessalySeconds / baselineSeconds : 0.0);
    std::fflush(stdout);
}

void failPhase(const char *name, const QString &message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", name, qPrintable(message));
    std::exit(1);
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
    std::string only;
    int n = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--phase") == 0)
            only = argv[i + 1];
        else if (std::strcmp(argv[i], "--n") == 0)
            n = std::atoi(argv[i + 1]);
    }
    std::vector<const Registered *> chosen;
    for (const Registered &phase : phases())
        if (only.empty() || only == phase.name)
            chosen.push_back(&phase);
    if (chosen.empty()) {
        std::fprintf(stderr, "usage: tessaly_bench [--phase NAME] [--n N]; phases:");
        for (const Registered &phase : phases())
            std::fprintf(stderr, " %s", phase.name);
        std::fprintf(stderr, "\n");
        return 1;
    }

    // Real windows are measured on an X server: the one set, or one of our own. Other phases
    // need no screen.
    const bool needsX11 = std::any_of(chosen.begin(), chosen.end(),
                                      [](const Registered *phase) { return phase->screen == BenchScreen::X11; });
    // Static, so that a failing phase, which ends the program with exit(), still stops it.
    static VirtualDisplay display;
    if (needsX11) {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            QString error;
            const QString name = display.start(error);
            if (name.isEmpty())
                failPhase(chosen.front()->name, error);
            qputenv("DISPLAY", name.toLocal8Bit());
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    for (const Registered *phase : chosen) {
        try {
            if (n > 0)
                phase->run(n);
            else
                for (int size : phase->sizes)
                    phase->run(size);
        } catch (const std::exception &error) {
            failPhase(phase->name, QString::fromLocal8Bit(error.what()));
        }
    }
    return 0;
}
