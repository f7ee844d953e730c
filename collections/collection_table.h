#pragma once

#include "core/grid_model.h"

struct CollectionRow
{
    QString name;
    QString book_count; // decimal text, adjusted by each operation
    QString record_id;  // the reader's collection `_id`; editing page only

    bool operator==(const CollectionRow &) const = default;
};

enum CollectionColumn {
    CollectionNumberColumn,
    CollectionNameColumn,
    CollectionBookCountColumn,
    CollectionRecordIdColumn
};

// The collection list (`CollectionList` / `ecollectionlist`); `number` is the row's position.
class CollectionTable : public RowGridModel<CollectionRow>
{
    Q_OBJECT
public:
    explicit CollectionTable(QObject *parent = nullptr);
    QString cellText(int row, int column) const override;
};
