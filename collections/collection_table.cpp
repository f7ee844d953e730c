#include "collections/collection_table.h"

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
