#pragma once

#include <QString>

#include <functional>
#include <vector>

// What a phase needs to show windows on: nothing (the offscreen platform serves), or a
// real X server, started by the benchmark when no display is set.
enum class BenchScreen { Offscreen, X11 };

// A measured phase of the benchmark: it builds its own data for size n and reports
// through reportPhase(). Each phase file registers itself with a static BenchPhase.
struct BenchPhase
{
    BenchPhase(const char *name, std::vector<int> defaultSizes, std::function<void(int n)> run,
               BenchScreen screen = BenchScreen::Offscreen);
};

// Prints "NAME n=N tessaly=1.23s baseline=0.61s ratio=2.02".
void reportPhase(const char *name, int n, double tessalySeconds, double baselineSeconds);

// Ends the benchmark with `message` and a non-zero exit: a run that did not do its work
// prints no figures.
[[noreturn]] void failPhase(const char *name, const QString &message);

// Wall-clock seconds taken by `work`.
double secondsFor(const std::function<void()> &work);
