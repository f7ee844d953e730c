#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

#include <span>

// A table of text cells as the grids show it. Rows are data rows only, indexed from 0;
// the header texts are the view's header, shown while the grid has data rows. Column
// widths and alignments that operations set live here, so tests can read them.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int FitToContents = -1;
    static constexpr int DefaultWidth = -2;

    explicit GridModel(int columnCount, QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    virtual QString cellText(int row, int column) const = 0;

    void setHeaderTexts(const QStringList &texts);
    const QStringList &headerTexts() const { return m_headerTexts; }
    bool hasHeader() const { return !m_headerTexts.isEmpty(); }

    void setColumnWidth(int column, int width);
    // Sets the widths of the first widths.size() columns and tells the views once: a view
    // fits its columns to their contents again each time it hears of a change.
    void setColumnWidths(std::span<const int> widths);
    int columnWidth(int column) const { return m_widths.value(column, DefaultWidth); }
    void setColumnAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment columnAlignment(int column) const { return m_alignments.value(column, Qt::AlignLeft); }
    void setHeaderAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment headerAlignment(int column) const { return m_headerAlignments.value(column, Qt::AlignLeft); }

    // Emptying a grid: every row and the header texts go.
    virtual void clear() = 0;

signals:
    void columnLayoutChanged();

protected:
    void resetHeaderAndLayout();

private:
    int m_columnCount;
    QStringList m_headerTexts;
    QVector<int> m_widths;
    QVector<Qt::Alignment> m_alignments;
    QVector<Qt::Alignment> m_headerAlignments;
};

// The rows of a grid as a vector of typed rows; subclasses say how a row reads as cells.
template <typename Row> class RowGridModel : public GridModel
{
public:
    using GridModel::GridModel;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    const QVector<Row> &rows() const { return m_rows; }
    const Row &row(int index) const { return m_rows.at(index); }
    // Counts the changes to the rows other than edits of single rows in place (rows added,
    // removed, replaced or moved), so what is worked out from the rows can tell whether it is
    // still theirs; rowEdited() tells of the edits in place.
    quint64 revision() const { return m_revision; }

    void appendRows(const QVector<Row> &rows)
    {
        ++m_revision;
        if (rows.isEmpty())
            return;
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size()) - 1);
        m_rows += rows;
        endInsertRows();
    }
    // Rows handed over whole, without copying them.
    void appendRows(QVector<Row> &&rows)
    {
        ++m_revision;
        if (rows.isEmpty())
            return;
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size()) - 1);
        if (m_rows.isEmpty())
            m_rows = std::move(rows);
        else
            m_rows.append(std::move(rows));
        endInsertRows();
    }
    void appendRow(const Row &row) { appendRows({row}); }

    // Removes rows [first, first + count).
    void removeRowRange(int first, int count)
    {
        ++m_revision;
        if (count <= 0)
            return;
        beginRemoveRows({}, first, first + count - 1);
        m_rows.remove(first, count);
        giveBackUnusedStorage();
        endRemoveRows();
    }

    // Replaces every row at once: one reset instead of a change per row.
    void replaceRows(QVector<Row> rows)
    {
        ++m_revision;
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }

    // Lets `change` edit row `index` and tells the views.
    template <typename Change> void updateRow(int index, Change change)
    {
        change(editableRow(index));
        emit dataChanged(this->index(index, 0), this->index(index, columnCount() - 1));
    }

    // Lets `change` edit every row, returning true where it changed one; the views hear of
    // the changed span once, not once per row. Returns how many rows changed.
    template <typename Change> int updateRows(Change change)
    {
        int first = -1;
        int last = -1;
        int changed = 0;
        for (int index = 0; index < int(m_rows.size()); ++index) {
            if (!change(m_rows[index]))
                continue;
            rowEdited(index);
            if (first < 0)
                first = index;
            last = index;
            ++changed;
        }
        if (changed > 0)
            emit dataChanged(this->index(first, 0), this->index(last, columnCount() - 1));
        return changed;
    }

    void clear() override
    {
        ++m_revision;
        beginResetModel();
        // Assigning an empty list frees the row storage, which clear() would keep.
        m_rows = QVector<Row>();
        resetHeaderAndLayout();
        endResetModel();
    }

protected:
    // A list that has lost most of its rows gives their storage back.
    void giveBackUnusedStorage()
    {
        if (m_rows.size() < m_rows.capacity() / 2)
            m_rows.squeeze();
    }
    // Told of a row edited in place, before or after the edit.
    virtual void rowEdited(int index) { Q_UNUSED(index); }
    Row &editableRow(int index)
    {
        rowEdited(index);
        return m_rows[index];
    }
    QVector<Row> &mutableRows()
    {
        ++m_revision;
        return m_rows;
    }

private:
    QVector<Row> m_rows;
    quint64 m_revision = 0;
};
