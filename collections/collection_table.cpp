#include "collections/collection_table.h"

#include <algorithm>
#include <limits>

void CollectionRow::takeRecordsOf(const CollectionRow &merged)
{
    if (!merged.record_id.isEmpty())
        merged_record_ids << merged.record_id;
    merged_record_ids << merged.merged_record_ids;
}

CollectionTable::CollectionTable(QObject *parent) : RowGridModel<CollectionRow>(4, parent)
{}

QString CollectionTable::cellText(int row, int column) const
{
    const CollectionRow &collection = this->row(row);
    switch (column) {
    case CollectionNumberColumn:
        return QString::number(row + 1);
    case CollectionNameColumn:
        return collection.name;
    case CollectionBookCountColumn:
        return collection.book_count;
    case CollectionRecordIdColumn:
        return collection.record_id;
    default:
        return {};
    }
}

int CollectionTable::bookCount(int row) const
{
    bool isNumber = false;
    const int count = this->row(row).book_count.toInt(&isNumber);
    return isNumber ? count : 0;
}

namespace {
// A count loaded from a reader can be smaller than the books listed; it never shows below 0.
QString adjustedCount(int count, int delta)
{
    return QString::number(std::clamp<qint64>(qint64(count) + delta, 0, std::numeric_limits<int>::max()));
}
} // namespace

void CollectionTable::adjustBookCount(int row, int delta)
{
    const QString count = adjustedCount(bookCount(row), delta);
    updateRow(row, [&count](CollectionRow &collection) { collection.book_count = count; });
}

void CollectionTable::adjustBookCounts(const QVector<int> &deltas)
{
    int first = -1;
    int last = -1;
    for (int row = 0; row < std::min(rowCount(), int(deltas.size())); ++row) {
        if (deltas.at(row) == 0)
            continue;
        mutableRows()[row].book_count = adjustedCount(bookCount(row), deltas.at(row));
        if (first < 0)
            first = row;
        last = row;
    }
    if (first >= 0)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

int CollectionTable::indexOfName(const QString &name) const
{
    const auto found = std::find_if(rows().cbegin(), rows().cend(),
                                    [&name](const CollectionRow &collection) { return collection.name == name; });
    return found == rows().cend() ? -1 : int(found - rows().cbegin());
}

void CollectionTable::applyLayout(bool hideRecordColumn)
{
    setHeaderTexts({QStringLiteral("#"), QStringLiteral("Название коллекции"), QStringLiteral("Книг в коллекции")});
    // By column: number, name, book count, and the record id where it is hidden.
    static constexpr int widths[] = {FitToContents, 380, FitToContents, 0};
    static_assert(std::size(widths) == CollectionRecordIdColumn + 1);
    setColumnWidths(std::span(widths, hideRecordColumn ? std::size(widths) : std::size(widths) - 1));
    setColumnAlignment(CollectionNumberColumn, Qt::AlignHCenter);
    setColumnAlignment(CollectionBookCountColumn, Qt::AlignHCenter);
    setHeaderAlignment(CollectionBookCountColumn, Qt::AlignHCenter);
}
