#include "bench/bench.h"
#include "bench/null_progress.h"
#include "bench/synthetic_books.h"
#include "booklist/book_intake.h"
#include "booklist/book_table.h"
#include "core/clock.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {
// Authors' folders with series folders below, a hundred books in each, every fourth kind.
void makeLibrary(const QString &root, int n)
{
    const QByteArray other(2048, 'x');
    for (int i = 0; i < n; ++i) {
        const int folder = i / 100;
        const QString path =
            QStringLiteral("%1/Автор %2/Серия %3/book %4").arg(root).arg(folder / 10).arg(folder % 10).arg(i);
        switch (i % 4) {
        case 0:
            writeBenchFile(path + ".fb2", syntheticFb2(i, i % 8 == 4, 3000));
            break;
        case 1:
            writeBenchFile(path + ".epub", other);
            break;
        case 2:
            writeBenchFile(path + ".pdf", other);
            break;
        default:
            writeBenchFile(path + ".txt", other);
            break;
        }
    }
}

// What any program must do at least: walk the tree and look at each file.
qint64 walkAndStat(const QString &root)
{
    qint64 bytes = 0;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root.toStdString()))
        if (entry.is_regular_file())
            bytes += qint64(entry.file_size());
    return bytes;
}

long residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

const BenchPhase intakePhase("intake", {10000, 100000}, [](int n) {
    QTemporaryDir dir(QStringLiteral("/tmp/tessaly-bench-intake-XXXXXX"));
    const QString root = dir.filePath(QStringLiteral("Books"));
    makeLibrary(root, n);
    walkAndStat(root); // both measurements start from a warm cache

    volatile qint64 sink = 0;
    double baseline = 1e9;
    for (int run = 0; run < 3; ++run)
        baseline = std::min(baseline, secondsFor([&] { sink = sink + walkAndStat(root); }));

    const SystemClock clock;
    NullProgress progress;
    double tessaly = 1e9;
    long resident = -1;
    for (int run = 0; run < 3; ++run) {
        BookTable books;
        tessaly = std::min(tessaly, secondsFor([&] {
                               BookIntake intake(books, progress, clock);
                               intake.open();
                               intake.addPath(root);
                               intake.finish();
                           }));
        if (books.rowCount() != n)
            std::fprintf(stderr, "intake: %d rows for %d files\n", books.rowCount(), n);
        resident = std::max(resident, residentMegabytes());
    }
    reportPhase("intake", n, tessaly, baseline);
    std::printf("intake-memory n=%d rss=%ldMB\n", n, resident);
    std::fflush(stdout);
});
} // namespace
