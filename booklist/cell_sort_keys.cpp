#include "booklist/cell_sort_keys.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

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
// The number's bits as an unsigned integer that orders as the numbers do (NaN aside).
quint64 orderedBits(double number)
{
    constexpr quint64 SignBit = quint64(1) << 63;
    if (number == 0)
        number = 0; // -0 equals 0
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return (bits & SignBit) ? ~bits : bits | SignBit;
}

// A column of numbers only (sizes, dates), the common case: a least-significant-byte radix
// sort of their bits, stable like the comparison sort it stands for and a few times faster.
// Byte positions that all numbers share are skipped.
void sortNumberKeys(QVector<CellSortKey> &keys, Qt::SortOrder order)
{
    struct Item
    {
        quint64 bits;
        int key;
    };
    const qsizetype count = keys.size();
    std::vector<Item> items(static_cast<std::size_t>(count));
    std::vector<Item> spare(items.size());
    std::array<std::array<qsizetype, 256>, sizeof(quint64)> counts{};
    for (qsizetype i = 0; i < count; ++i) {
        const quint64 bits = orderedBits(keys[i].number);
        items[std::size_t(i)] = {order == Qt::AscendingOrder ? bits : ~bits, int(i)};
        for (std::size_t byte = 0; byte < counts.size(); ++byte)
            ++counts[byte][(items[std::size_t(i)].bits >> (8 * byte)) & 0xff];
    }
    for (std::size_t byte = 0; byte < counts.size(); ++byte) {
        std::array<qsizetype, 256> &places = counts[byte];
        if (places[(items.front().bits >> (8 * byte)) & 0xff] == count)
            continue;
        qsizetype start = 0;
        for (qsizetype &place : places)
            start += std::exchange(place, start);
        for (const Item &item : items)
            spare[std::size_t(places[(item.bits >> (8 * byte)) & 0xff]++)] = item;
        items.swap(spare);
    }
    QVector<CellSortKey> sorted;
    sorted.reserve(count);
    for (const Item &item : items)
        sorted.append(keys[item.key]);
    keys = std::move(sorted);
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
    // NaN equals every number to the comparison, which a radix sort cannot mimic.
    if (!keys.isEmpty() && std::all_of(keys.cbegin(), keys.cend(), [](const CellSortKey &key) {
            return key.isNumber && !std::isnan(key.number);
        })) {
        sortNumberKeys(keys, order);
        return;
    }
    if (order == Qt::AscendingOrder)
        std::stable_sort(keys.begin(), keys.end(),
                         [](const CellSortKey &a, const CellSortKey &b) { return cellKeyLess(a, b); });
    else
        std::stable_sort(keys.begin(), keys.end(),
                         [](const CellSortKey &a, const CellSortKey &b) { return cellKeyLess(b, a); });
}
