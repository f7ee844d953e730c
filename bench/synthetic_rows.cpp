#include "bench/synthetic_rows.h"

BookRow syntheticBookRow(int i)
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

QVector<BookRow> syntheticBookRows(int n)
{
    QVector<BookRow> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i)
        rows.append(syntheticBookRow(i));
    return rows;
}

ShownFileList::ShownFileList()
{
    const int widths[BookColumnCount] = {400, 300, 0, 100, 200, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int column = 0; column < BookColumnCount; ++column)
        table.setColumnWidth(column, widths[column]);
    view.setGridModel(&table);
    view.resize(1100, 700);
    view.show();
}
