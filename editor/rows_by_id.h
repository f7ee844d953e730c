#pragma once

#include <QHash>
#include <QString>
#include <QVector>

#include <algorithm>

class SqliteRow;

// The rows of a list that carry each record id (`record_id`), in row order, for matching the
// reader's ids to rows without scanning. Ids compare as the texts the page reads: those that
// are the decimal text of a number, as every id the firmware writes, are looked up by that
// number. Ids repeat only in a table without its primary key; every row with the id matches
// then, as a scan of the rows would find them.
class RowsById
{
public:
    template <typename Row> explicit RowsById(const QVector<Row> &rows) : m_next(rows.size(), -1)
    {
        // Small numbers, as a table numbers its records, go to a plain index.
        m_denseFirst.fill(-1, 2 * rows.size() + 1024);
        for (int row = int(rows.size()) - 1; row >= 0; --row) {
            int &first = firstSlot(rows.at(row).record_id);
            m_next[row] = first;
            first = row;
        }
    }

    // The first row whose id is the text of the cell as the page reads it, or -1.
    int firstRow(const SqliteRow &cells, int column) const;
    // The first row whose id is `id`, or -1.
    int firstRow(const QString &id) const;
    // The next row with the same id, or -1.
    int nextRow(int row) const { return m_next.at(row); }
    // Whether some id is carried by more than one row.
    bool hasRepeatedIds() const
    {
        return std::any_of(m_next.cbegin(), m_next.cend(), [](int row) { return row >= 0; });
    }

private:
    int &firstSlot(const QString &id);
    int firstRowOfNumber(qint64 number) const;

    QVector<int> m_denseFirst;     // by id, for ids from 0 below its size
    QHash<qint64, int> m_byNumber; // the other numbers
    QHash<QString, int> m_byText;  // ids that are no number's decimal text
    QVector<int> m_next;
};
