#pragma once

#include "core/grid_model.h"

struct ShownBookRow
{
    QString title;
    QString full_path; // identifies the file-list row

    bool operator==(const ShownBookRow &) const = default;
};

enum ShownBookColumn { ShownBookNumberColumn, ShownBookTitleColumn, ShownBookFullPathColumn };

// The book list (`BookList` / `ebooklist`): the books of the collection shown.
class ShownBooksTable : public RowGridModel<ShownBookRow>
{
    Q_OBJECT
public:
    explicit ShownBooksTable(QObject *parent = nullptr);
    QString cellText(int row, int column) const override;

    // Header texts, widths and alignments the list takes each time it is filled.
    void applyLayout();

    // The collection-list row whose books are shown, or -1.
    int shown_collection_row = -1;
};
