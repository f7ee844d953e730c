#include "booklist/duplicate_books.h"

#include "booklist/book_table.h"

#include <QSet>

int removeDuplicateBooks(BookTable &books)
{
    const QVector<BookRow> &rows = books.rows();
    QSet<QString> seen;
    seen.reserve(rows.size());
    QVector<bool> duplicate(rows.size(), false);
    int removed = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const qsizetype before = seen.size();
        seen.insert(rows[i].full_path.toCaseFolded());
        if (seen.size() == before) {
            duplicate[i] = true;
            ++removed;
        }
    }
    if (removed == 0)
        return 0;
    QVector<BookRow> kept;
    kept.reserve(rows.size() - removed);
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (!duplicate[i])
            kept.append(rows[i]);
    books.replaceRows(std::move(kept));
    return removed;
}
