#include "booklist/series_order.h"

#include <limits>
#include <tuple>

namespace {
struct SeriesPlace
{
    int kind = 2; // 0: begins with digits, 1: other text, 2: no number
    qint64 value = 0;
    QStringView rest;
};

SeriesPlace seriesPlace(QStringView number)
{
    if (number.isEmpty())
        return {};
    qsizetype digits = 0;
    qint64 value = 0;
    constexpr qint64 largest = std::numeric_limits<qint64>::max() / 10 - 9;
    while (digits < number.size() && number[digits].isDigit() && number[digits].unicode() < 0x80) {
        value = std::min(value, largest) * 10 + (number[digits].unicode() - u'0');
        ++digits;
    }
    return digits == 0 ? SeriesPlace{1, 0, number} : SeriesPlace{0, value, number.sliced(digits)};
}
} // namespace

bool comesEarlierInSeries(const BookRow &a, const BookRow &b)
{
    const SeriesPlace first = seriesPlace(a.series_number);
    const SeriesPlace second = seriesPlace(b.series_number);
    if (std::tie(first.kind, first.value) != std::tie(second.kind, second.value))
        return std::tie(first.kind, first.value) < std::tie(second.kind, second.value);
    if (const int rest = first.rest.compare(second.rest, Qt::CaseInsensitive); rest != 0)
        return rest < 0;
    return a.title.compare(b.title, Qt::CaseInsensitive) < 0;
}
