#include "booklist/cell_sort_keys.h"

#include <algorithm>

namespace {
// Plain digits short enough to be exact in a double: the common case (sizes, time
// stamps) read directly, with the value the general conversion would give.
bool readPlainDigits(const QString &text, double &number)
{
    constexpr qsizetype ExactDigits = 15;
    if (text.isEmpty() || text.size() > ExactDigits)
        return false;
    qint64 value = 0;
    for (const QChar character : text) {
        const unsigned digit = unsigned(character.unicode()) - u'0';
        if (digit > 9)
            return false;
        value = value * 10 + qint64(digit);
    }
    number = double(value);
    return true;
}

// A number is written in ASCII, perhaps between blanks: any other character rules it out
// without the general conversion, which would first make a trimmed copy.
bool mayBeNumber(const QString &text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar character) { return character.unicode() < 0x80 || character.isSpace(); });
}
} // namespace

CellSortKey cellSortKey(const QString &text, int row)
{
    CellSortKey key{.text = &text, .row = row};
    key.isNumber = readPlainDigits(text, key.number);
    if (!key.isNumber && mayBeNumber(text))
        key.number = text.toDouble(&key.isNumber);
    return key;
}

void sortCellKeys(QVector<CellSortKey> &keys, Qt::SortOrder order)
{
    if (order == Qt::AscendingOrder)
        std::stable_sort(keys.begin(), keys.end(),
                         [](const CellSortKey &a, const CellSortKey &b) { return cellKeyLess(a, b); });
    else
        std::stable_sort(keys.begin(), keys.end(),
                         [](const CellSortKey &a, const CellSortKey &b) { return cellKeyLess(b, a); });
}
