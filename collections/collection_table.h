#pragma once

#include "core/grid_model.h"

#include <QStringList>

struct CollectionRow
{
    QString name;
    QString book_count; // decimal text, adjusted by each operation
    QString record_id;  // the reader's collection `_id`; editing page only
    // Editing page: the `_id`s of the reader's collections merged into this one, whose other
    // memberships pass to it when the library is written back (a deleted collection's go).
    QStringList merged_record_ids;
    // Made from a series: written to the reader with its books in their series' order.
    bool series_order = false;

    // Takes in the reader's collections that `merged` stands for, as its rows go in a merge.
    void takeRecordsOf(const CollectionRow &merged);

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

    // `book_count` as the 32-bit count it holds; any other text counts as 0.
    int bookCount(int row) const;
    // Adds `delta` to the count of `row`, kept within 0..INT_MAX.
    void adjustBookCount(int row, int delta);
    // Adds `deltas[row]` to the count of each row at once; the views hear of it once.
    void adjustBookCounts(const QVector<int> &deltas);
    // The index of the first row named exactly `name`, or -1.
    int indexOfName(const QString &name) const;
    // Header texts, widths and alignments the list takes each time rows are added; the
    // record column stays at its default width unless `hideRecordColumn`.
    void applyLayout(bool hideRecordColumn);
};
