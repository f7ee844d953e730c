#include "bench/bench.h"
#include "collections/automatic_collections.h"
#include "core/dialogs.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {
constexpr int booksPerFolder = 20;
constexpr int booksPerSeries = 6;
constexpr int runs = 11;

// Never asked: the page always has books.
class NoDialogs : public Dialogs
{
public:
    bool confirm(const QString &, const QString &) override { return true; }
    QString inputBox(const QString &, const QString &, const QString &defaultText) override { return defaultText; }
    void message(const QString &) override {}
    QString openFile(const QString &) override { return {}; }
    QString browseForFolder(const QString &) override { return {}; }
    int chooseItem(const QString &, const QString &, const QStringList &) override { return -1; }
};

// Ten added folders, each with authors' folders and series folders below them; twenty books
// in each folder, a few lying directly in an author's folder.
QVector<BookRow> libraryRows(int n)
{
    const QChar separator = QDir::separator();
    QVector<BookRow> books;
    books.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int folder = i / booksPerFolder;
        const QString root = QStringLiteral("/home/user/Книги %1").arg(folder % 10).replace(u'/', separator);
        QString path = root + separator + QStringLiteral("Автор %1").arg(folder / 10);
        if (folder % 7 != 0)
            path += separator + QStringLiteral("Серия %1").arg(folder % 7);
        path += separator + QStringLiteral("Книга %1.fb2").arg(i);
        books.append(BookRow{.full_path = path, .file_size = QStringLiteral("100000"), .root = root});
    }
    return books;
}

// The same library, its books telling their series: six books in each, numbered 1 to 6, with
// one book in ten telling none (those go by their folders).
QVector<BookRow> seriesRows(int n)
{
    QVector<BookRow> books = libraryRows(n);
    for (int i = 0; i < n; ++i) {
        if (i % 10 == 9)
            continue;
        books[i].series = QStringLiteral("Серия книг %1").arg(i / booksPerSeries);
        books[i].series_number = QString::number(i % booksPerSeries + 1);
    }
    return books;
}

// The fastest run of the floor and of the build, which take turns so that a busy moment of the
// machine falls on both alike.
struct Fastest
{
    double baseline = 1e9;
    double tessaly = 1e9;
};
Fastest fastestInTurns(const std::function<void()> &floor, const std::function<void()> &build)
{
    Fastest fastest;
    for (int run = 0; run < runs; ++run) {
        fastest.baseline = std::min(fastest.baseline, secondsFor(floor));
        fastest.tessaly = std::min(fastest.tessaly, secondsFor(build));
    }
    return fastest;
}

const BenchPhase autocollectionsPhase("autocollections", {100000}, [](int n) {
    LibraryPage page(LibraryPage::Kind::Creation);
    page.books.appendRows(libraryRows(n));
    const QChar separator = QDir::separator();

    // The floor: count the books of each folder in a hash map keyed on views of the paths'
    // folder parts, once; every folder here gives a name of its own. The build is the whole of
    // it: names, the case-blind collation, the books' cells, the list and the books of its first
    // collection.
    qsizetype names = 0;
    NoDialogs dialogs;
    const auto [baseline, tessaly] = fastestInTurns(
        [&] {
            QHash<QStringView, int> counts;
            for (const BookRow &book : page.books.rows()) {
                const QStringView path = book.full_path;
                ++counts[path.first(path.lastIndexOf(separator))];
            }
            names = counts.size();
        },
        [&] { buildFolderCollections(page, dialogs); });

    if (page.collections.rowCount() != names)
        failPhase("autocollections", QStringLiteral("the collection list does not hold one row per folder"));
    qint64 counted = 0;
    for (int row = 0; row < page.collections.rowCount(); ++row)
        counted += page.collections.bookCount(row);
    if (counted != n || page.shownBooks.rowCount() == 0)
        failPhase("autocollections", QStringLiteral("the counts do not add up to the books"));
    if (std::any_of(page.books.rows().cbegin(), page.books.rows().cend(),
                    [](const BookRow &book) { return book.collection.isEmpty(); }))
        failPhase("autocollections", QStringLiteral("a book was left without a collection"));
    reportPhase("autocollections", n, tessaly, baseline);
    std::printf("  autocollections n=%d folders=%lld tessaly=%.1fms baseline=%.1fms\n", n, qint64(names), tessaly * 1e3,
                baseline * 1e3);
    std::fflush(stdout);
});

const BenchPhase seriesPhase("autocollections-series", {100000}, [](int n) {
    const char *name = "autocollections-series";
    LibraryPage page(LibraryPage::Kind::Creation);
    page.books.appendRows(seriesRows(n));

    // The floor: count the books of each series in a hash map, a book without one under its
    // added folder, once; the build is the whole build by series.
    qsizetype names = 0;
    NoDialogs dialogs;
    const auto [baseline, tessaly] = fastestInTurns(
        [&] {
            QHash<QString, int> counts;
            for (const BookRow &book : page.books.rows())
                ++counts[book.series.isEmpty() ? book.root : book.series];
            names = counts.size();
        },
        [&] { buildAutomaticCollections(page, dialogs, CollectionSource::Series); });
    if (names == 0)
        failPhase(name, QStringLiteral("the floor counted no series"));

    qint64 counted = 0;
    qsizetype inSeriesOrder = 0;
    for (const CollectionRow &collection : page.collections.rows()) {
        counted += collection.book_count.toLongLong();
        inSeriesOrder += collection.series_order ? 1 : 0;
    }
    if (counted != n || page.shownBooks.rowCount() == 0)
        failPhase(name, QStringLiteral("the counts do not add up to the books"));
    if (inSeriesOrder != (n + booksPerSeries - 1) / booksPerSeries)
        failPhase(name, QStringLiteral("not every series has a collection in series order"));
    for (const BookRow &book : page.books.rows())
        if (book.collection.isEmpty() || (!book.series.isEmpty() && book.collection != book.series))
            failPhase(name, QStringLiteral("a book is not in the collection of its series"));
    reportPhase(name, n, tessaly, baseline);
    std::printf("  autocollections-series n=%d series=%lld collections=%lld tessaly=%.1fms baseline=%.1fms\n", n,
                qint64(inSeriesOrder), qint64(page.collections.rowCount()), tessaly * 1e3, baseline * 1e3);
    std::fflush(stdout);
});
} // namespace
