#include "app/progress_window.h"
#include "bench/bench.h"
#include "bench/null_progress.h"
#include "bench/plain_head.h"
#include "bench/synthetic_books.h"
#include "booklist/book_passes.h"
#include "booklist/book_table.h"
#include "booklist/fb2_metadata.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>

namespace {
// What any program must do at least: read the head of each book.
qint64 readHeads(const QVector<BookRow> &rows)
{
    qint64 bytes = 0;
    char buffer[Fb2HeadSize];
    for (const BookRow &row : rows)
        bytes += readHeadPlainly(row.full_path, buffer, Fb2HeadSize);
    return bytes;
}

// Books of 12,000 bytes, half of them in Windows-1251, a thousand to a folder.
QVector<BookRow> makeBooks(const QTemporaryDir &dir, int n)
{
    QVector<BookRow> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QString path = dir.filePath(QStringLiteral("%1/book %2.fb2").arg(i / 1000).arg(i));
        writeBenchFile(path, syntheticFb2(i, i % 2 == 1, 12000));
        rows.append(BookRow{.full_path = path, .file_name = QStringLiteral("book %1.fb2").arg(i)});
    }
    readHeads(rows); // every measurement starts from a warm cache
    return rows;
}

double timedMetadataPass(const char *name, const QVector<BookRow> &rows, Progress &progress)
{
    BookTable books;
    books.appendRows(rows);
    const double seconds = secondsFor([&] {
        if (!runMetadataPass(books, progress).isEmpty())
            failPhase(name, QStringLiteral("books could not be read"));
    });
    if (books.cellText(int(rows.size()) - 1, AuthorColumn).isEmpty())
        failPhase(name, QStringLiteral("no author read"));
    return seconds;
}

const BenchPhase metadataPhase("metadata", {100000}, [](int n) {
    QTemporaryDir dir(QStringLiteral("/tmp/tessaly-bench-metadata-XXXXXX"));
    const QVector<BookRow> rows = makeBooks(dir, n);

    volatile qint64 sink = 0;
    double baseline = 1e9;
    for (int run = 0; run < 3; ++run)
        baseline = std::min(baseline, secondsFor([&] { sink = sink + readHeads(rows); }));

    NullProgress progress;
    double tessaly = 1e9;
    for (int run = 0; run < 3; ++run)
        tessaly = std::min(tessaly, timedMetadataPass("metadata", rows, progress));
    reportPhase("metadata", n, tessaly, baseline);
});

// The metadata pass with the real progress window on an X server, beside the same pass with
// a progress window that shows nothing.
const BenchPhase metadataWindowPhase(
    "metadata-window", {100000},
    [](int n) {
        QTemporaryDir dir(QStringLiteral("/tmp/tessaly-bench-metadata-window-XXXXXX"));
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            failPhase("metadata-window", QStringLiteral("needs an X server, not ") + QGuiApplication::platformName());
        const QVector<BookRow> rows = makeBooks(dir, n);
        ProgressWindow window;
        NullProgress nothing;
        double shown = 1e9;
        double unshown = 1e9;
        for (int run = 0; run < 3; ++run) {
            unshown = std::min(unshown, timedMetadataPass("metadata-window", rows, nothing));
            ProgressSteps::open(window, 30, QStringLiteral("Получаю данные о книгах..."));
            shown = std::min(shown, timedMetadataPass("metadata-window", rows, window));
            ProgressSteps::close(window, 30);
        }
        reportPhase("metadata-window", n, shown, unshown);
    },
    BenchScreen::X11);
} // namespace
