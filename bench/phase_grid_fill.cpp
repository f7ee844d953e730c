#include "bench/bench.h"
#include "booklist/book_table.h"
#include "widgets/grid_view.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {
BookRow bookRow(int i)
{
    const QString folder = QStringLiteral("Folder %1/Sub %2").arg(i % 97).arg(i % 7);
    const QString name = QStringLiteral("book %1.fb2").arg(i);
    return BookRow{.full_path = QStringLiteral("/home/user/Books/") + folder + u'/' + name,
                   .file_size = QString::number(100000 + qint64(i) * 37),
                   .author = QStringLiteral("Автор %1").arg(i % 1000),
                   .title = QStringLiteral("Книга номер %1").arg(i),
                   .root = QStringLiteral("/home/user/Books"),
                   .display_name = QStringLiteral("book %1").arg(i),
                   .added_date = QStringLiteral("1714564800000"),
                   .modified_date = QStringLiteral("1714564800000"),
                   .file_name = name,
                   .mime_type = QStringLiteral("application/fb2"),
                   .relative_path = QStringLiteral("Books/") + folder + u'/' + name};
}

void setBookWidths(BookTable &table)
{
    const int widths[BookColumnCount] = {400, 300, 0, 100, 200, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int column = 0; column < BookColumnCount; ++column)
        table.setColumnWidth(column, widths[column]);
}

// The file list's grid, shown, filled with n rows in one bulk append and painted, beside
// building the same rows into a plain vector.
void runGridFill(int n)
{
    const double baseline = secondsFor([n] {
        QVector<BookRow> rows;
        rows.reserve(n);
        for (int i = 0; i < n; ++i)
            rows.append(bookRow(i));
    });

    BookTable table;
    setBookWidths(table);
    GridView view;
    view.setGridModel(&table);
    view.resize(1100, 700);
    view.show();
    QCoreApplication::processEvents();
    int insertions = 0;
    QObject::connect(&table, &QAbstractItemModel::rowsInserted, [&insertions] { ++insertions; });

    double viewSeconds = 0;
    const double tessaly = secondsFor([&] {
        table.beginBulk();
        for (int i = 0; i < n; ++i)
            table.append(bookRow(i));
        viewSeconds = secondsFor([&] {
            table.endBulk();
            view.repaint();
            QCoreApplication::processEvents();
        });
    });
    reportPhase("grid-fill", n, tessaly, baseline);
    std::printf("  grid-fill n=%d insertions=%d view-update-and-paint=%.3fms rows=%d\n", n, insertions,
                viewSeconds * 1e3, table.rowCount());
    std::fflush(stdout);
}

const BenchPhase gridFill("grid-fill", {100000}, runGridFill);
} // namespace
