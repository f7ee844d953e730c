#include "widgets/grid_view.h"

#include "core/grid_model.h"

#include <QAbstractItemDelegate>
#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolTip>
#include <QUuid>

#include <algorithm>
#include <cstdlib>

GridView::GridView(QWidget *parent)
    : QTableView(parent), m_dragIdentity(QUuid::createUuid().toByteArray(QUuid::WithoutBraces))
{
    // Tab leaves the grid for the next list or button; the arrow keys move within it.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    // Every row has the same height, so the view never measures rows one by one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->hide();
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &GridView::sortByHeaderClick);
}

void GridView::setGridModel(GridModel *model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    setModel(model);
    if (!model)
        return;
    connect(model, &GridModel::columnLayoutChanged, this, &GridView::applyColumnLayout);
    connect(model, &QAbstractItemModel::rowsInserted, this, &GridView::followRowCount);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &GridView::followRowCount);
    connect(model, &QAbstractItemModel::modelReset, this, &GridView::followRowCount);
    connect(model, &QAbstractItemModel::dataChanged, this, &GridView::fitColumnsToContents);
    applyColumnLayout();
    followRowCount();
}

void GridView::applyColumnLayout()
{
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const int width = m_model->columnWidth(column);
        setColumnHidden(column, width == 0);
        if (width == GridModel::FitToContents)
            resizeColumnToContents(column);
        else if (width == GridModel::DefaultWidth)
            setColumnWidth(column, horizontalHeader()->defaultSectionSize());
        else if (width > 0)
            setColumnWidth(column, width);
    }
}

void GridView::fitColumnsToContents()
{
    for (int column = 0; column < m_model->columnCount(); ++column)
        if (m_model->columnWidth(column) == GridModel::FitToContents)
            resizeColumnToContents(column);
}

void GridView::followRowCount()
{
    // The header row exists only above data rows; fitted widths follow it and the rows.
    horizontalHeader()->setVisible(m_model->rowCount() > 0);
    fitColumnsToContents();
}

void GridView::sortByHeaderClick(int column)
{
    if (!m_headerSorting || !m_model || m_model->rowCount() < 2)
        return;
    m_model->sort(column, m_nextOrder);
    m_nextOrder = m_nextOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
}

QString GridView::cutOffText(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    const int needed = itemDelegateForIndex(index)->sizeHint(option, index).width();
    return needed > columnWidth(index.column()) ? index.data(Qt::DisplayRole).toString() : QString();
}

bool GridView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = cutOffText(index);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
    return true;
}

GridView::RowRange GridView::selectedRowRange() const
{
    if (!selectionModel())
        return {};
    QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return {};
    std::sort(selection.begin(), selection.end(),
              [](const QItemSelectionRange &a, const QItemSelectionRange &b) { return a.top() < b.top(); });
    // The view keeps one range, but a selection set from code may have gaps: a gap ends the
    // range, so no row the user did not select is ever taken.
    const int first = selection.first().top();
    int last = selection.first().bottom();
    for (const QItemSelectionRange &range : std::as_const(selection)) {
        if (range.top() > last + 1)
            break;
        last = std::max(last, range.bottom());
    }
    return {first, last - first + 1};
}

void GridView::selectOnlyRow(int row)
{
    const QModelIndex index = model() ? model()->index(row, 0) : QModelIndex();
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(event->key());
    QTableView::keyPressEvent(event);
}

QMimeData *GridView::selectedRowsDragData() const
{
    const RowRange rows = selectedRowRange();
    if (rows.count <= 0)
        return nullptr;
    return rowDragData({m_dragIdentity, rows.first, rows.count});
}

void GridView::setRowDropRules(RowDropRules rules)
{
    m_dropRules = std::move(rules);
    viewport()->setAcceptDrops(true);
    // The header row is a view of its own; a drop over it is a drop on this grid too.
    horizontalHeader()->viewport()->setAcceptDrops(true);
    horizontalHeader()->viewport()->installEventFilter(this);
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    const QPoint position = event->position().toPoint();
    if (indexAt(position).isValid())
        m_pressOnRow = position;
    else
        m_pressOnRow.reset();
}

void GridView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressOnRow || event->buttons() == Qt::NoButton) {
        m_pressOnRow.reset();
        QTableView::mouseMoveEvent(event);
        return;
    }
    // Until the pointer has gone far enough the press stays a click, and selects no rows on
    // its way either.
    const QPoint moved = event->position().toPoint() - *m_pressOnRow;
    if (std::max(std::abs(moved.x()), std::abs(moved.y())) < DragStartDistance)
        return;
    m_pressOnRow.reset();
    startDrag(Qt::MoveAction);
}

void GridView::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressOnRow.reset();
    QTableView::mouseReleaseEvent(event);
}

void GridView::startDrag(Qt::DropActions)
{
    QMimeData *data = selectedRowsDragData();
    if (!data)
        return;
    // A child of the grid, so that it goes once the drag is over rather than with the grid.
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
    drag->deleteLater();
}

void GridView::dragEnterEvent(QDragEnterEvent *event)
{
    enterRowDrag(event);
}

void GridView::dragMoveEvent(QDragMoveEvent *event)
{
    // The view's own handling scrolls the list while the pointer is near its edge.
    QTableView::dragMoveEvent(event);
    takeRowDrag(event, rowAt(event->position().toPoint().y()));
}

void GridView::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    takeRowDrag(event, rowAt(event->position().toPoint().y()));
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *header = horizontalHeader()->viewport();
    if (watched != header)
        return QTableView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
        enterRowDrag(static_cast<QDragEnterEvent *>(event));
        return true;
    case QEvent::DragMove:
    case QEvent::Drop:
        takeRowDrag(static_cast<QDropEvent *>(event), HeaderRow);
        return true;
    default:
        return QTableView::eventFilter(watched, event);
    }
}

void GridView::enterRowDrag(QDragEnterEvent *event)
{
    // A drag of rows is answered move by move, so the grid takes the whole drag as it enters.
    // Anything else (files from the file manager, above all) it leaves to the widgets around
    // it, which the toolkit asks next.
    if (m_dropRules.accepts && readRowDrag(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void GridView::takeRowDrag(QDropEvent *event, int row)
{
    const std::optional<RowDrag> drag = readRowDrag(event->mimeData());
    if (!drag || !m_dropRules.accepts || !m_dropRules.accepts(*drag, row)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (event->type() == QEvent::Drop && m_dropRules.drop)
        m_dropRules.drop(*drag, row);
}
