#include "bench/bench.h"
#include "collections/library_page.h"
#include "collections/shown_books.h"
#include "collections/statistics.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {
constexpr int collectionCount = 20;
constexpr int repeats = 11;

// Half the books in one big collection, a quarter spread over the others, a quarter in none.
// Books share their collection's name text, as every operation that puts books into a
// collection leaves them.
void fillPage(LibraryPage &page, int n)
{
    QVector<CollectionRow> collections;
    for (int c = 0; c < collectionCount; ++c)
        collections.append({QString("Коллекция %1").arg(c), QStringLiteral("0"), {}});
    QVector<BookRow> books;
    books.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int collection = i % 2 == 0 ? 0 : i % collectionCount;
        books.append(BookRow{.full_path = QString("/home/user/Books/Folder %1/book %2.fb2").arg(i % 97).arg(i),
                             .collection = i % 4 == 3 ? QString() : collections[collection].name,
                             .file_size = QString::number(100000 + qint64(i) * 37),
                             .title = QString("Книга номер %1").arg(i)});
    }
    page.books.appendRows(books);
    page.collections.appendRows(collections);
}

// The best of several runs after an untimed one: the work is deterministic, so the
// fastest run is its own cost and the slower ones carry what else the machine was doing.
double bestSeconds(const std::function<void()> &work)
{
    work();
    double best = secondsFor(work);
    for (int run = 1; run < repeats; ++run)
        best = std::min(best, secondsFor(work));
    return best;
}

// The figures are milliseconds; the common line rounds them to 0.00 s, so the detail and
// the growth from the previous size follow on a line of their own.
void report(const char *name, int n, double tessaly, double baseline)
{
    static std::map<std::string, std::pair<int, double>> previous;
    reportPhase(name, n, tessaly, baseline);
    std::printf("  %s n=%d tessaly=%.3fms baseline=%.3fms", name, n, tessaly * 1e3, baseline * 1e3);
    const auto earlier = previous.find(name);
    if (earlier != previous.end() && earlier->second.first < n)
        std::printf(" growth x%.2f for n x%.0f", tessaly / earlier->second.second, double(n) / earlier->second.first);
    std::printf("\n");
    std::fflush(stdout);
    previous[name] = {n, tessaly};
}

volatile qint64 sink = 0;

// Reading a field's text, as the operations do, not only its length.
int firstCharacter(const QString &text)
{
    return text.isEmpty() ? 0 : text.front().unicode();
}

// The statistics as they run after an operation that moved a book to another collection.
const BenchPhase statisticsPhase("statistics", {10000, 100000}, [](int n) {
    LibraryPage page(LibraryPage::Kind::Creation);
    fillPage(page, n);
    showCollectionBooks(page, 0);
    int moves = 0;
    const double tessaly = bestSeconds([&] {
        const int row = (moves * 7919) % n;
        page.books.rowForQuietEdit(row).collection = page.collections.row(++moves % collectionCount).name;
        sink = sink + updateStatistics(page).total_size;
    });
    const double baseline = bestSeconds([&] {
        qint64 read = 0;
        for (const BookRow &book : page.books.rows())
            if (!book.collection.isEmpty())
                read += firstCharacter(book.file_size);
        sink = sink + read;
    });
    report("statistics", n, tessaly, baseline);
});

const BenchPhase collectionClickPhase("collection-click", {10000, 100000}, [](int n) {
    LibraryPage page(LibraryPage::Kind::Creation);
    fillPage(page, n);
    const double tessaly = bestSeconds([&] {
        showCollectionBooks(page, 0);
        sink = sink + updateStatistics(page).total_size;
    });
    const double baseline = bestSeconds([&] {
        const QString &name = page.collections.row(0).name;
        qint64 read = 0;
        for (const BookRow &book : page.books.rows())
            if (book.collection == name)
                read += firstCharacter(book.title) + firstCharacter(book.full_path);
        for (const BookRow &book : page.books.rows())
            if (!book.collection.isEmpty())
                read += firstCharacter(book.file_size);
        sink = sink + read;
    });
    report("collection-click", n, tessaly, baseline);
});
} // namespace
