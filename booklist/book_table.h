#pragma once

#include "booklist/book_collection_summary.h"
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
    BookRow &rowForQuietEdit(int row) { return editableRow(row); }
    // The same for a pass that edits every row: the brief below is worked out again whole.
    QVector<BookRow> &rowsForQuietEdit() { return mutableRows(); }
    void announceAllRowsChanged();
    // The same from a pass that worked out the rows' brief itself.
    void announceAllRowsChanged(BookCollectionSummary summary);

    // Emptying the list gives back the brief of its rows too.
    void clear() override;

    // Header click: numbers compare as numbers, other text as text; stable.
    void sort(int column, Qt::SortOrder order) override;
    // Removes the rows flagged in `removed` (a flag per row) in one reset; the others keep
    // their order. Returns how many went.
    int removeFlaggedRows(const QVector<bool> &removed);

    // The rows' collections and sizes in brief, kept in step with the rows: worked out again
    // after rows were added, removed or moved, and row by row after edits in place. A row
    // handed out by rowForQuietEdit() must be edited before this is next read.
    const BookCollectionSummary &collectionSummary() const;

signals:
    // Emitted by a sort or removeFlaggedRows(), inside their reset: where each former row is now, or
    // -1 where it went.
    void rowsRenumbered(const QVector<int> &newRowOfOld);

protected:
    void rowEdited(int row) override;

private:
    QVector<BookRow> m_pending;
    int m_bulkDepth = 0;
    mutable BookCollectionSummary m_summary;
    mutable quint64 m_summaryRevision = ~quint64(0);
    mutable QVector<int> m_editedRows; // since the summary was last brought up to date
};
