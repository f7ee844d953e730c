#pragma once

#include "booklist/book_row.h"
#include "core/grid_model.h"

// The file list (`PathList` / `epathlist`): one row per book file.
class BookTable : public RowGridModel<BookRow>
{
    Q_OBJECT
public:
    explicit BookTable(QObject *parent = nullptr);

    QString cellText(int row, int column) const override;
    void setCellText(int row, int column, const QString &text);

    // Bulk mode: rows appended meanwhile reach the views in one insertion at endBulk().
    void beginBulk();
    void endBulk();
    bool inBulk() const { return m_bulkDepth > 0; }
    // Appends a row; in bulk mode it waits in the pending batch.
    void append(const BookRow &row);
    void append(BookRow &&row);
    // Rows committed plus rows pending in the current batch.
    int totalRowCount() const { return rowCount() + int(m_pending.size()); }

    // Edits a row without telling the views, for a pass over many rows that runs with redraw
    // suspended; announceAllRowsChanged() tells them once at its end.
    BookRow &rowForQuietEdit(int row) { return mutableRows()[row]; }
    void announceAllRowsChanged();

    // Header click: numbers compare as numbers, other text as text; stable.
    void sort(int column, Qt::SortOrder order) override;

private:
    QVector<BookRow> m_pending;
    int m_bulkDepth = 0;
};
