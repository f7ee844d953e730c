#include "core/grid_model.h"

#include <algorithm>

GridModel::GridModel(int columnCount, QObject *parent) : QAbstractTableModel(parent), m_columnCount(columnCount)
{}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columnCount;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(index.column()) | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return m_headerTexts.value(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(headerAlignment(section) | Qt::AlignVCenter);
    return {};
}

void GridModel::setHeaderTexts(const QStringList &texts)
{
    m_headerTexts = texts;
    emit headerDataChanged(Qt::Horizontal, 0, m_columnCount - 1);
}

void GridModel::setColumnWidth(int column, int width)
{
    m_widths.resize(std::max<qsizetype>(m_widths.size(), column + 1), DefaultWidth);
    m_widths[column] = width;
    emit columnLayoutChanged();
}

void GridModel::setColumnWidths(std::span<const int> widths)
{
    m_widths.resize(std::max<qsizetype>(m_widths.size(), qsizetype(widths.size())), DefaultWidth);
    std::copy(widths.begin(), widths.end(), m_widths.begin());
    emit columnLayoutChanged();
}

void GridModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    m_alignments.resize(std::max<qsizetype>(m_alignments.size(), column + 1), Qt::AlignLeft);
    m_alignments[column] = alignment;
}

void GridModel::setHeaderAlignment(int column, Qt::Alignment alignment)
{
    m_headerAlignments.resize(std::max<qsizetype>(m_headerAlignments.size(), column + 1), Qt::AlignLeft);
    m_headerAlignments[column] = alignment;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void GridModel::resetHeaderAndLayout()
{
    m_headerTexts.clear();
    m_alignments.clear();
    m_headerAlignments.clear();
}
