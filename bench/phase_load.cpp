#include "app/library_page_widget.h"
#include "bench/bench.h"
#include "bench/firmware_reader.h"
#include "bench/null_progress.h"
#include "collections/library_page.h"
#include "collections/statistics.h"
#include "reader/library_schema.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_connection.h"
#include "editor/reader_library.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr int repeats = 5;

struct PlainBook
{
    std::string title, author, file_path, file_name, mime_type;
    sqlite3_int64 added_date, modified_date, file_size, id;
};
struct PlainCollection
{
    sqlite3_int64 id;
    std::string title;
};

std::string columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? std::string(text, std::size_t(sqlite3_column_bytes(statement, column))) : std::string();
}

// The same three queries read with the SQLite C API into plain vectors.
std::size_t readPlainly(const QString &root)
{
    sqlite3 *handle = nullptr;
    sqlite3_open_v2(ReaderLayout::databasePath(root).toUtf8().constData(), &handle,
                    SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    const SqliteHandles::Database database(handle);
    const auto query = [&](const char *sql, auto &&readRow) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(handle));
        const SqliteHandles::Statement owner(statement);
        while (sqlite3_step(statement) == SQLITE_ROW)
            readRow(statement);
    };
    std::vector<PlainCollection> collections;
    query("select _id, title from collection", [&](sqlite3_stmt *s) {
        collections.push_back({sqlite3_column_int64(s, 0), columnText(s, 1)});
    });
    std::vector<PlainBook> books;
    query("select title, author, added_date, modified_date, file_path, file_name, file_size, mime_type, _id from books",
          [&](sqlite3_stmt *s) {
              books.push_back({columnText(s, 0), columnText(s, 1), columnText(s, 4), columnText(s, 5), columnText(s, 7),
                               sqlite3_column_int64(s, 2), sqlite3_column_int64(s, 3), sqlite3_column_int64(s, 6),
                               sqlite3_column_int64(s, 8)});
          });
    std::vector<std::pair<sqlite3_int64, sqlite3_int64>> memberships;
    query("select collection_id, content_id from collections",
          [&](sqlite3_stmt *s) { memberships.emplace_back(sqlite3_column_int64(s, 0), sqlite3_column_int64(s, 1)); });
    return books.size() + collections.size() + memberships.size();
}

double medianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Processor seconds this process has used: on a machine shared with other work they count
// what the load itself costs, which wall-clock time mixes with the others' turns.
double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Timing
{
    double wall = 0;
    double processor = 0;
};

template <typename Work> Timing timed(Work work)
{
    const double processorBefore = processorSeconds();
    const double wall = secondsFor(work);
    return {wall, processorSeconds() - processorBefore};
}

// The reader's library loaded into the editing page (its lists, with their views attached,
// and its statistics), beside reading the same three queries plainly into vectors.
void runLoad(int n)
{
    QTemporaryDir folder;
    const QString root = folder.path() + "/";
    writeFirmwareReader(root, n);
    NullProgress progress;
    const std::size_t expected = std::size_t(n) + FirmwareReaderCollections + std::size_t(n) + std::size_t(n / 5);

    std::vector<double> tessaly, baseline, tessalyProcessor, baselineProcessor, reading, installing;
    for (int run = 0; run <= repeats; ++run) {
        LibraryPage page(LibraryPage::Kind::Editing);
        const LibraryPageWidget widget(page);
        double readSeconds = 0;
        double installSeconds = 0;
        const Timing loaded = timed([&] {
            ReaderLibrary library;
            readSeconds = secondsFor([&] { library = readReaderLibrary(root, progress); });
            installSeconds = secondsFor([&] {
                installReaderLibrary(page, std::move(library));
                updateStatistics(page);
            });
        });
        std::size_t plainRecords = 0;
        const Timing plain = timed([&] { plainRecords = readPlainly(root); });
        std::size_t loadedRecords = std::size_t(page.books.rowCount() + page.collections.rowCount());
        for (int row = 0; row < page.collections.rowCount(); ++row)
            loadedRecords += std::size_t(page.collections.bookCount(row));
        if (plainRecords != expected || loadedRecords != expected) {
            std::fprintf(stderr, "load: read %zu records, the plain read %zu, expected %zu\n", loadedRecords,
                         plainRecords, expected);
            std::exit(1);
        }
        // The first run only brings the file into the page cache.
        if (run == 0)
            continue;
        tessaly.push_back(loaded.wall);
        baseline.push_back(plain.wall);
        tessalyProcessor.push_back(loaded.processor);
        baselineProcessor.push_back(plain.processor);
        reading.push_back(readSeconds);
        installing.push_back(installSeconds);
    }
    reportPhase("load", n, medianOf(tessaly), medianOf(baseline));
    std::printf("  load n=%d processor: tessaly=%.3fs baseline=%.3fs ratio=%.2f; wall: reading %.3fs, "
                "lists, views and statistics %.3fs\n",
                n, medianOf(tessalyProcessor), medianOf(baselineProcessor),
                medianOf(tessalyProcessor) / medianOf(baselineProcessor), medianOf(reading), medianOf(installing));
    std::fflush(stdout);
}

const BenchPhase phase("load", {50000}, runLoad);
} // namespace
