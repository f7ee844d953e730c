// Drops on a large library: n books in 2,000 collections. Half the file list dropped on one
// collection, and 1,000 collections merged into another, each beside one pass over the book
// rows that does nothing but rewrite each row's `collection` cell. A drop needs at least that
// pass: the books it moves are found or rewritten row by row, and the books of the target are
// listed afterwards from the whole file list. The line after each figure also gives the time
// of rewriting only the cells the drop changes, the rows to rewrite known beforehand.

#include "bench/bench.h"
#include "collections/book_moves.h"
#include "collections/library_page.h"
#include "collections/statistics.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {
constexpr int collectionCount = 2000;
constexpr int mergedCount = 1000;
constexpr int mergeTarget = 1500;
constexpr int repeats = 31;

QString collectionName(int index)
{
    return QString("Коллекция %1").arg(index);
}

// Every fifth book in no collection, the others spread over the collections in turn.
struct Library
{
    QVector<BookRow> books;
    QVector<CollectionRow> collections;

    explicit Library(int n)
    {
        std::vector<int> counts(collectionCount, 0);
        books.reserve(n);
        for (int i = 0; i < n; ++i) {
            const bool inNone = i % 5 == 4;
            if (!inNone)
                ++counts[std::size_t(i % collectionCount)];
            books.append(BookRow{.full_path = QString("/home/user/Books/Folder %1/book %2.fb2").arg(i % 97).arg(i),
                                 .collection = inNone ? QString() : collectionName(i % collectionCount),
                                 .file_size = QString::number(100000 + i),
                                 .title = QString("Книга номер %1").arg(i)});
        }
        for (int c = 0; c < collectionCount; ++c)
            collections.append({collectionName(c), QString::number(counts[std::size_t(c)]), {}});
    }

    // A page holding the library, its rows the page's own so that no write copies them.
    void fill(LibraryPage &page) const
    {
        page.books.replaceRows(books);
        page.collections.replaceRows(collections);
        if (page.books.rowCount() > 0)
            page.books.rowForQuietEdit(0);
    }
};

// The fastest of the runs: the work is the same each time, so the slower runs only carry what
// else the machine was doing meanwhile.
double fastestOf(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "drops: %s\n", what);
    std::exit(1);
}

int booksIn(const LibraryPage &page, const QString &name)
{
    return int(std::count_if(page.books.rows().cbegin(), page.books.rows().cend(),
                             [&name](const BookRow &book) { return book.collection == name; }));
}

void report(const char *name, int n, const std::vector<double> &tessaly, const std::vector<double> &onePass,
            const std::vector<double> &changedCellsOnly)
{
    reportPhase(name, n, fastestOf(tessaly), fastestOf(onePass));
    std::printf("  %s n=%d tessaly=%.2fms one-pass=%.2fms changed-cells-only=%.2fms\n", name, n,
                fastestOf(tessaly) * 1e3, fastestOf(onePass) * 1e3, fastestOf(changedCellsOnly) * 1e3);
    std::fflush(stdout);
}

// The baseline: every row's `collection` cell rewritten, in one pass.
double onePassSeconds(const Library &library, const QString &name)
{
    LibraryPage page(LibraryPage::Kind::Creation);
    library.fill(page);
    return secondsFor([&] {
        for (int row = 0; row < page.books.rowCount(); ++row)
            page.books.rowForQuietEdit(row).collection = name;
    });
}

// Only the cells the drop changes rewritten, `moves` saying which.
double changedCellsSeconds(const Library &library, const std::vector<bool> &moves, const QString &name)
{
    LibraryPage page(LibraryPage::Kind::Creation);
    library.fill(page);
    return secondsFor([&] {
        for (int row = 0; row < page.books.rowCount(); ++row)
            if (moves[std::size_t(row)])
                page.books.rowForQuietEdit(row).collection = name;
    });
}

// Runs `drop` on a freshly filled page several times beside both yardsticks; `landed` checks
// each run's result, `moves` says which books' cells the drop changes to `name`.
void measureDrop(const char *phase, const Library &library, const std::vector<bool> &moves, const QString &name,
                 const std::function<void(LibraryPage &)> &drop, const std::function<bool(const LibraryPage &)> &landed)
{
    std::vector<double> tessaly;
    std::vector<double> onePass;
    std::vector<double> changedCells;
    for (int run = 0; run < repeats; ++run) {
        LibraryPage page(LibraryPage::Kind::Creation);
        library.fill(page);
        // The window shows a page's statistics after every operation, the one that filled it too.
        updateStatistics(page);
        tessaly.push_back(secondsFor([&] { drop(page); }));
        if (!landed(page))
            fail("the dropped books are not all in the target collection");
        onePass.push_back(onePassSeconds(library, name));
        changedCells.push_back(changedCellsSeconds(library, moves, name));
    }
    report(phase, int(moves.size()), tessaly, onePass, changedCells);
}

void measureFileListDrop(const Library &library, int n)
{
    const int dragged = n / 2;
    const int target = collectionCount - 1;
    const QString name = collectionName(target);
    std::vector<bool> moves(std::size_t(n), false);
    std::fill(moves.begin(), moves.begin() + dragged, true);
    measureDrop(
        "drops-file-list", library, moves, name,
        [&](LibraryPage &page) { dropOnCollection(page, DragSource::FileList, 0, dragged, target); },
        [&](const LibraryPage &page) {
            return page.shownBooks.rowCount() == booksIn(page, name) &&
                   page.collections.bookCount(target) == booksIn(page, name);
        });
}

void measureMerge(const Library &library, int n)
{
    const QString name = collectionName(mergeTarget);
    std::vector<bool> moves(std::size_t(n), false);
    for (int row = 0; row < n; ++row) {
        const QString &collection = library.books.at(row).collection;
        moves[std::size_t(row)] = !collection.isEmpty() && collection.mid(10).toInt() < mergedCount;
    }
    const int targetRow = mergeTarget - mergedCount;
    measureDrop(
        "drops-merge", library, moves, name,
        [&](LibraryPage &page) { dropOnCollection(page, DragSource::CollectionList, 0, mergedCount, mergeTarget); },
        [&](const LibraryPage &page) {
            return page.collections.rowCount() == collectionCount - mergedCount &&
                   page.collections.row(targetRow).name == name &&
                   page.collections.bookCount(targetRow) == booksIn(page, name) &&
                   page.shownBooks.rowCount() == booksIn(page, name);
        });
}

const BenchPhase phase("drops", {100000}, [](int n) {
    const Library library(n);
    measureFileListDrop(library, n);
    measureMerge(library, n);
});
} // namespace
