#include "editor/rows_by_id.h"

#include "sqlite/sqlite_connection.h"

#include <optional>

namespace {
// Numbers of up to this many digits are keyed by their value, longer ones by their text.
constexpr qsizetype NumberDigits = 18;
constexpr qint64 FirstLongNumber = 1'000'000'000'000'000'000; // 10 to the power NumberDigits

// The number whose decimal text `id` is ("12", "-3"; not "012", "+3" or "1.0").
std::optional<qint64> decimalNumber(const QString &id)
{
    const qsizetype digitsFrom = id.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype digits = id.size() - digitsFrom;
    if (digits < 1 || digits > NumberDigits || (id.at(digitsFrom) == QLatin1Char('0') && (digits > 1 || digitsFrom > 0)))
        return std::nullopt;
    qint64 number = 0;
    for (qsizetype i = digitsFrom; i < id.size(); ++i) {
        const unsigned digit = unsigned(id.at(i).unicode()) - u'0';
        if (digit > 9)
            return std::nullopt;
        number = number * 10 + digit;
    }
    return digitsFrom > 0 ? -number : number;
}

template <typename Key> int &slot(QHash<Key, int> &rows, const Key &id)
{
    auto found = rows.find(id);
    if (found == rows.end())
        found = rows.insert(id, -1);
    return found.value();
}
} // namespace

int &RowsById::firstSlot(const QString &id)
{
    const std::optional<qint64> number = decimalNumber(id);
    if (!number)
        return slot(m_byText, id);
    if (*number >= 0 && *number < m_denseFirst.size())
        return m_denseFirst[*number];
    return slot(m_byNumber, *number);
}

int RowsById::firstRowOfNumber(qint64 number) const
{
    if (number >= 0 && number < m_denseFirst.size())
        return m_denseFirst.at(number);
    return m_byNumber.value(number, -1);
}

int RowsById::firstRow(const SqliteRow &cells, int column) const
{
    // An integer's text is its decimal digits: looked up without making the text, unless it
    // is too long to be keyed by its value.
    if (cells.storedType(column) == SqliteValue::Type::Integer) {
        const qint64 number = cells.integer(column);
        if (number > -FirstLongNumber && number < FirstLongNumber)
            return firstRowOfNumber(number);
    }
    return firstRow(cells.text(column));
}

int RowsById::firstRow(const QString &id) const
{
    const std::optional<qint64> number = decimalNumber(id);
    return number ? firstRowOfNumber(*number) : m_byText.value(id, -1);
}
