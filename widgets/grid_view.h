#pragma once

#include "widgets/row_drag.h"

#include <QTableView>

#include <functional>
#include <optional>

class GridModel;
class QMimeData;

// The grid every list of the window is shown in: whole rows selected as one contiguous
// range, every key press told to the window, columns the user can resize, the header shown exactly while
// there are data rows, column widths taken from the model (0 hides a column), and a hint with the whole text of a cell
// only when the cell cuts it off. A press on a data row drags the selected rows once the
// pointer has moved a few pixels; a grid given drop rules takes such drags from its owner's
// grids, over its rows and over its header.
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

    // How far the pointer moves with a button held on a row before the press becomes a drag.
    static constexpr int DragStartDistance = 3;
    // Rows dragged out of this grid carry this identity, unique to the grid and the process.
    const QByteArray &dragIdentity() const { return m_dragIdentity; }
    // What a drag of the selected rows carries; null while no row is selected.
    QMimeData *selectedRowsDragData() const;

    // Where a drop lands when it is not over a data row.
    static constexpr int NoRow = -1;
    static constexpr int HeaderRow = -2;
    // What a grid that takes drops of rows asks of its owner: whether it takes `drag` over
    // `row` (a 0-based data row, NoRow or HeaderRow), and to perform the drop.
    struct RowDropRules
    {
        std::function<bool(const RowDrag &drag, int row)> accepts;
        std::function<void(const RowDrag &drag, int row)> drop;
    };
    void setRowDropRules(RowDropRules rules);

signals:
    // A key pressed while the grid has the focus, before the grid moves its cursor.
    void keyPressed(int key);

protected:
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Drags the selected rows; the press that led here started nothing else.
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void applyColumnLayout();
    void fitColumnsToContents();
    void followRowCount();
    void sortByHeaderClick(int column);
    void enterRowDrag(QDragEnterEvent *event);
    // Answers a drag move or performs a drop with `row` under the pointer.
    void takeRowDrag(QDropEvent *event, int row);

    GridModel *m_model = nullptr;
    bool m_headerSorting = false;
    Qt::SortOrder m_nextOrder = Qt::AscendingOrder;
    QByteArray m_dragIdentity;
    std::optional<QPoint> m_pressOnRow; // where a press that may become a drag began
    RowDropRules m_dropRules;
};
