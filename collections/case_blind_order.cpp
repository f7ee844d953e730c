#include "collections/case_blind_order.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

namespace {
// The case folding of each code unit that folds to one code unit, and 0 for the others
// (surrogates, and the few letters that fold outside the basic plane): the library's names are
// folded a character at a time, and a table look-up is several times cheaper than asking Qt.
const std::array<char16_t, 0x10000> &foldedBasicUnits()
{
    static const std::array<char16_t, 0x10000> table = [] {
        std::array<char16_t, 0x10000> folded{};
        for (char32_t unit = 1; unit < 0x10000; ++unit) {
            const char32_t to = QChar::toCaseFolded(unit);
            if (!QChar::isSurrogate(unit) && !QChar::requiresSurrogates(to))
                folded[unit] = char16_t(to);
        }
        return folded;
    }();
    return table;
}

// The names case-folded into one buffer. Qt's "C" locale collates by code unit, letter case
// included, so there the folded texts' code units give the order.
class FoldedNames
{
public:
    explicit FoldedNames(const QVector<QString> &names)
    {
        qsizetype units = 0;
        for (const QString &name : names)
            units += name.size();
        m_units.reserve(size_t(units));
        m_starts.reserve(size_t(names.size()) + 1);
        for (const QString &name : names) {
            m_starts.push_back(m_units.size());
            appendFolded(name);
        }
        m_starts.push_back(m_units.size());
    }

    // The code unit of name `i` at `depth`, or -1 past its end, which orders a prefix first.
    int unitAt(int i, size_t depth) const
    {
        const size_t at = m_starts[size_t(i)] + depth;
        return at < m_starts[size_t(i) + 1] ? int(m_units[at]) : -1;
    }
    bool equal(int a, int b) const
    {
        const auto first = m_units.cbegin();
        return std::equal(first + qsizetype(m_starts[size_t(a)]), first + qsizetype(m_starts[size_t(a) + 1]),
                          first + qsizetype(m_starts[size_t(b)]), first + qsizetype(m_starts[size_t(b) + 1]));
    }
    // From `depth` on, which both names share.
    bool less(int a, int b, size_t depth) const
    {
        for (;; ++depth) {
            const int unitA = unitAt(a, depth);
            const int unitB = unitAt(b, depth);
            if (unitA != unitB)
                return unitA < unitB;
            if (unitA < 0)
                return a < b;
        }
    }

private:
    void appendFolded(QStringView name)
    {
        const char16_t *table = foldedBasicUnits().data();
        for (qsizetype i = 0; i < name.size(); ++i) {
            char32_t point = name[i].unicode();
            if (const char16_t folded = table[point]) {
                m_units.push_back(folded);
                continue;
            }
            if (QChar::isHighSurrogate(point) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
                point = QChar::surrogateToUcs4(name[i].unicode(), name[i + 1].unicode());
                ++i;
            }
            const char32_t folded = QChar::toCaseFolded(point);
            if (QChar::requiresSurrogates(folded)) {
                m_units.push_back(QChar::highSurrogate(folded));
                m_units.push_back(QChar::lowSurrogate(folded));
            } else {
                m_units.push_back(char16_t(folded));
            }
        }
    }

    std::vector<char16_t> m_units;
    std::vector<size_t> m_starts;
};

// A three-way radix quicksort: the shared beginnings of names, often long in a library ("Серия
// книг 1", "Серия книг 2"), are looked at once per partition rather than once per comparison.
void sortFolded(const FoldedNames &names, int *first, int *last, size_t depth)
{
    constexpr std::ptrdiff_t Small = 12;
    while (last - first > 1) {
        if (last - first <= Small) {
            std::sort(first, last, [&](int a, int b) { return names.less(a, b, depth); });
            return;
        }
        const int pivot = names.unitAt(first[(last - first) / 2], depth);
        int *lower = first;
        int *upper = last;
        for (int *at = first; at < upper;) {
            const int unit = names.unitAt(*at, depth);
            if (unit < pivot)
                std::swap(*lower++, *at++);
            else if (unit > pivot)
                std::swap(*at, *--upper);
            else
                ++at;
        }
        sortFolded(names, first, lower, depth);
        sortFolded(names, upper, last, depth);
        if (pivot < 0) { // names that end here are equal: the first in the list leads
            std::sort(lower, upper);
            return;
        }
        first = lower;
        last = upper;
        ++depth;
    }
}

std::vector<int> indices(size_t count)
{
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    return order;
}
} // namespace

CaseBlindOrder caseBlindOrder(const QVector<QString> &names)
{
    CaseBlindOrder result{indices(size_t(names.size())), std::vector<int>(size_t(names.size()))};
    std::vector<int> &order = result.order;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto keepForms = [&](const auto &same) {
        for (size_t i = 0; i < order.size(); ++i) {
            const int name = order[i];
            result.kept[size_t(name)] = i > 0 && same(name, order[i - 1]) ? result.kept[size_t(order[i - 1])] : name;
        }
    };
    if (collator.locale().language() == QLocale::C) {
        const FoldedNames folded(names);
        sortFolded(folded, order.data(), order.data() + order.size(), 0);
        keepForms([&](int a, int b) { return folded.equal(a, b); });
        return result;
    }
    // The collation's sort keys are made once per name, so sorting thousands of names compares
    // bytes, not strings through the locale each time.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(names.size()));
    for (const QString &name : names)
        keys.push_back(collator.sortKey(name));
    // Stable: among equal names the one met first in the list leads its run.
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    keepForms([&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) == 0; });
    return result;
}
