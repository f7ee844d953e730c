#pragma once

#include <QTableView>

class GridModel;

// The grid every list of the window is shown in: whole rows selected as one contiguous
// range, every key press told to the window, columns the user can resize, the header shown exactly while
// there are data rows, column widths taken from the model (0 hides a column), and a hint with the whole text of a cell
// only when the cell cuts it off.
class GridView : public QTableView
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);

    void setGridModel(GridModel *model);
    GridModel *gridModel() const { return m_model; }

    // A header click sorts the data rows by that column once there are two of them; the
    // direction turns over with every click.
    void setHeaderSorting(bool enabled) { m_headerSorting = enabled; }
    bool headerSorting() const { return m_headerSorting; }

    // The hint for a cell: its whole text when the column is too narrow for it, else empty.
    QString cutOffText(const QModelIndex &index) const;

    // The selected rows as the operations take them: `count` rows from 0-based `first`.
    struct RowRange
    {
        int first = -1;
        int count = 0;
    };
    RowRange selectedRowRange() const;
    // Selects `row` alone and makes it the current row.
    void selectOnlyRow(int row);

signals:
    // A key pressed while the grid has the focus, before the grid moves its cursor.
    void keyPressed(int key);

protected:
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyColumnLayout();
    void fitColumnsToContents();
    void followRowCount();
    void sortByHeaderClick(int column);

    GridModel *m_model = nullptr;
    bool m_headerSorting = false;
    Qt::SortOrder m_nextOrder = Qt::AscendingOrder;
};
