#include "booklist/duplicate_books.h"

#include "booklist/book_table.h"

#include <unordered_set>

namespace {
// A hash of the text as case-insensitive comparison sees it (code points case-folded),
// computed without building a folded copy.
size_t foldedHash(const QString &text)
{
    size_t hash = 14695981039346656037ull;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t point = text[i].unicode();
        if (point < 0x80) {
            if (point >= u'A' && point <= u'Z')
                point += u'a' - u'A';
        } else {
            if (QChar::isHighSurrogate(point) && i + 1 < size && text[i + 1].isLowSurrogate())
                point = QChar::surrogateToUcs4(char16_t(point), text[++i].unicode());
            point = QChar::toCaseFolded(point);
        }
        hash ^= point;
        hash *= 1099511628211ull;
    }
    return hash;
}
} // namespace

int removeDuplicateBooks(BookTable &books, Qt::CaseSensitivity pathCase)
{
    const QVector<BookRow> &rows = books.rows();
    const bool ignoringCase = pathCase == Qt::CaseInsensitive;
    const auto hash = [&](qsizetype row) {
        return ignoringCase ? foldedHash(rows[row].full_path) : size_t(qHash(rows[row].full_path));
    };
    const auto same = [&](qsizetype a, qsizetype b) {
        return rows[a].full_path.compare(rows[b].full_path, pathCase) == 0;
    };
    // Row indices; a row whose path an earlier row has is not inserted.
    std::unordered_set<qsizetype, decltype(hash), decltype(same)> seen(size_t(rows.size()), hash, same);
    QVector<bool> duplicate(rows.size(), false);
    int removed = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!seen.insert(i).second) {
            duplicate[i] = true;
            ++removed;
        }
    }
    if (removed == 0)
        return 0;
    return books.removeFlaggedRows(duplicate);
}
