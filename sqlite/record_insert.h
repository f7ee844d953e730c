#pragma once

#include "sqlite/sqlite_connection.h"
#include "sqlite/table_columns.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class StoredRecords;

// The insert of a rebuild's records into one table. Each record takes the values a row gives it;
// where the row was loaded from a record of the library being replaced (the editing page's rows),
// that record's values, as they were stored, fill every column the row does not decide, so the
// firmware's own columns keep what they held.
class RecordInsert
{
public:
    // Whether a value the row gives is written even when its loaded record holds one.
    enum class Precedence { Row, Loaded };

    // `columns` are those the rows give values to; `loaded` has the records they were loaded
    // from, or is nullptr. `tableColumns` are the columns of the table written.
    RecordInsert(SqliteConnection &database, const QString &table, const QVector<TableColumn> &tableColumns,
                 const QStringList &columns, StoredRecords *loaded);

    // Begins the record of a row loaded from the record whose `_id` reads as `loadedId` (none when empty).
    void start(const QString &loadedId);
    // The loaded record of the present row, or nullptr.
    const SqliteRow *loadedRecord() const { return m_record; }
    // Its cell of `columns[column]`, or -1 when it has none.
    int loadedColumn(int column) const;

    void setInteger(int column, qint64 value, Precedence precedence = Precedence::Row);
    void setText(int column, const QString &text, Precedence precedence = Precedence::Row);
    void setUtf8(int column, const QByteArray &utf8, Precedence precedence = Precedence::Row);
    // A decimal text for an INTEGER column, as SqliteStatement::bindNumber takes it.
    void setNumber(int column, const QString &text, Precedence precedence = Precedence::Row);
    // Writes the record; a column of `columns` given no value is NULL.
    void insert();

private:
    // The parameter to bind the row's value of `column` to, or 0 when the loaded value is written.
    int parameterFor(int column, Precedence precedence);

    QStringList m_inserted; // the rows' columns, then those only loaded records give values to
    SqliteStatement m_statement;
    StoredRecords *m_loaded;
    int m_columnCount;
    QVector<int> m_loadedColumns; // per inserted column: the loaded record's cell, or -1
    QVector<bool> m_given;        // per column of `columns`, in this record
    const SqliteRow *m_record = nullptr;
};
