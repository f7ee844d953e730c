#include "bench/bench.h"
#include "bench/synthetic_rows.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Runs = 3;

// The file list's grid, shown, filled with n rows in one bulk append and painted, beside
// building the same rows into a plain vector. Each side runs once untimed first, so neither
// pays the process's first page faults.
void runGridFill(int n)
{
    volatile qsizetype sink = 0;
    const auto baselineRun = [&] { sink = sink + syntheticBookRows(n).size(); };

    int insertions = 0;
    double viewSeconds = 0;
    const auto tessalyRun = [&] {
        ShownFileList list;
        BookTable &table = list.table;
        GridView &view = list.view;
        QCoreApplication::processEvents();
        insertions = 0;
        QObject::connect(&table, &QAbstractItemModel::rowsInserted, [&insertions] { ++insertions; });
        const double seconds = secondsFor([&] {
            table.beginBulk();
            for (int i = 0; i < n; ++i)
                table.append(syntheticBookRow(i));
            viewSeconds = secondsFor([&] {
                table.endBulk();
                view.repaint();
                QCoreApplication::processEvents();
            });
        });
        if (table.rowCount() != n)
            failPhase("grid-fill", QStringLiteral("%1 rows for %2").arg(table.rowCount()).arg(n));
        return seconds;
    };

    baselineRun();
    tessalyRun();
    double baseline = 1e9;
    double tessaly = 1e9;
    for (int run = 0; run < Runs; ++run) {
        baseline = std::min(baseline, secondsFor(baselineRun));
        tessaly = std::min(tessaly, tessalyRun());
    }
    reportPhase("grid-fill", n, tessaly, baseline);
    std::printf("  grid-fill n=%d insertions=%d view-update-and-paint=%.3fms\n", n, insertions, viewSeconds * 1e3);
    std::fflush(stdout);
}

const BenchPhase gridFill("grid-fill", {100000}, runGridFill);
} // namespace
