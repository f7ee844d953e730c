#include "bench/bench.h"
#include "bench/synthetic_rows.h"
#include "booklist/cell_sort_keys.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Runs = 5;

// A header click on the shown file list, from the rows in the order they were added until
// the grid has painted them sorted, beside a std::stable_sort of the same rows' keys,
// worked out beforehand.
void runSort(const char *name, int column, int n)
{
    QVector<BookRow> rows = syntheticBookRows(n);
    std::shuffle(rows.begin(), rows.end(), QRandomGenerator(2024));

    ShownFileList list;
    BookTable &table = list.table;
    GridView &view = list.view;

    double tessaly = 1e9;
    double bestViewSeconds = 0;
    double baseline = 1e9;
    for (int run = 0; run < Runs; ++run) {
        // Rows of the table's own, as the intake leaves them, not shared with `rows`.
        table.replaceRows(QVector<BookRow>(rows.begin(), rows.end()));
        QCoreApplication::processEvents();
        double viewSeconds = 0;
        const double seconds = secondsFor([&] {
            table.sort(column, Qt::AscendingOrder);
            viewSeconds = secondsFor([&] {
                view.repaint();
                QCoreApplication::processEvents();
            });
        });
        if (seconds < tessaly) {
            tessaly = seconds;
            bestViewSeconds = viewSeconds;
        }

        QVector<CellSortKey> keys;
        keys.reserve(n);
        for (int row = 0; row < n; ++row)
            keys.append(cellSortKey(bookCellText(rows[row], column), row));
        baseline =
            std::min(baseline, secondsFor([&] {
                         std::stable_sort(keys.begin(), keys.end(),
                                          [](const CellSortKey &a, const CellSortKey &b) { return cellKeyLess(a, b); });
                     }));
    }
    for (int row = 1; row < n; ++row)
        if (cellKeyLess(cellSortKey(table.cellText(row, column), row), cellSortKey(table.cellText(row - 1, column), 0)))
            failPhase(name, QStringLiteral("rows %1 and %2 out of order").arg(row - 1).arg(row));
    reportPhase(name, n, tessaly, baseline);
    std::printf("  %s n=%d view-update-and-paint=%.3fms\n", name, n, bestViewSeconds * 1e3);
    std::fflush(stdout);
}

const BenchPhase sortPhase("sort", {100000}, [](int n) {
    runSort("sort-number", FileSizeColumn, n);
    runSort("sort-text", TitleColumn, n);
});
} // namespace
