#pragma once

#include <QString>

#include <functional>
#include <vector>

// A measured phase of the benchmark: it builds its own data for size n and reports
// through reportPhase(). Each phase file registers itself with a static BenchPhase.
struct BenchPhase
{
    BenchPhase(const char *name, std::vector<int> defaultSizes, std::function<void(int n)> run);
};

// Prints "NAME n=N tessaly=1.23s baseline=0.61s ratio=2.02".
void reportPhase(const char *name, int n, double tessalySeconds, double baselineSeconds);

// Wall-clock seconds taken by `work`.
double secondsFor(const std::function<void()> &work);
