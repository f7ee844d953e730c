#include "bench/book_folder.h"

#include "bench/bench.h"
#include "bench/synthetic_books.h"
#include "booklist/book_intake.h"
#include "booklist/book_table.h"
#include "core/clock.h"

#include <filesystem>

void makeBookFolder(const QString &root, int n)
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

qint64 walkAndStat(const QString &root)
{
    qint64 bytes = 0;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root.toStdString()))
        if (entry.is_regular_file())
            bytes += qint64(entry.file_size());
    return bytes;
}

double timedFolderIntake(const char *name, BookTable &books, Progress &progress, const QString &root, int expectedRows)
{
    const SystemClock clock;
    const double seconds = secondsFor([&] {
        BookIntake intake(books, progress, clock);
        intake.open();
        intake.addPath(root);
        if (!intake.finish().isEmpty())
            failPhase(name, QStringLiteral("books of the folder could not be read"));
    });
    if (books.rowCount() != expectedRows)
        failPhase(name, QStringLiteral("%1 rows for %2 files").arg(books.rowCount()).arg(expectedRows));
    return seconds;
}

WarmBookFolder::WarmBookFolder(const char *phase, int n)
    : dir(QStringLiteral("/tmp/tessaly-bench-%1-XXXXXX").arg(QLatin1String(phase))),
      root(dir.filePath(QStringLiteral("Books")))
{
    makeBookFolder(root, n);
    walkAndStat(root);
}
