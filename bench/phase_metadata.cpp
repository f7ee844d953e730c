#include "bench/bench.h"
#include "bench/null_progress.h"
#include "bench/synthetic_books.h"
#include "booklist/book_passes.h"
#include "booklist/book_table.h"
#include "booklist/fb2_metadata.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {
// What any program must do at least: read the head of each book.
qint64 readHeads(const QVector<BookRow> &rows)
{
    qint64 bytes = 0;
    char buffer[Fb2HeadSize];
    for (const BookRow &row : rows) {
        const int file = ::open(QFile::encodeName(row.full_path).constData(), O_RDONLY);
        if (file < 0)
            continue;
        qint64 got = 0;
        ssize_t chunk = 0;
        while (got < Fb2HeadSize && (chunk = ::read(file, buffer + got, size_t(Fb2HeadSize - got))) > 0)
            got += chunk;
        bytes += got;
        ::close(file);
    }
    return bytes;
}

const BenchPhase metadataPhase("metadata", {100000}, [](int n) {
    QTemporaryDir dir(QStringLiteral("/tmp/tessaly-bench-metadata-XXXXXX"));
    QVector<BookRow> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QString path = dir.filePath(QStringLiteral("%1/book %2.fb2").arg(i / 1000).arg(i));
        writeBenchFile(path, syntheticFb2(i, i % 2 == 1, 12000));
        rows.append(BookRow{.full_path = path, .file_name = QStringLiteral("book %1.fb2").arg(i)});
    }
    readHeads(rows); // both measurements start from a warm cache

    volatile qint64 sink = 0;
    double baseline = 1e9;
    for (int run = 0; run < 3; ++run)
        baseline = std::min(baseline, secondsFor([&] { sink = sink + readHeads(rows); }));

    NullProgress progress;
    double tessaly = 1e9;
    for (int run = 0; run < 3; ++run) {
        BookTable books;
        books.appendRows(rows);
        tessaly = std::min(tessaly, secondsFor([&] { runMetadataPass(books, progress); }));
        if (books.cellText(n - 1, AuthorColumn).isEmpty())
            std::fprintf(stderr, "metadata: no author read\n");
    }
    reportPhase("metadata", n, tessaly, baseline);
});
} // namespace
