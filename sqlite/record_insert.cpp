#include "sqlite/record_insert.h"

#include "sqlite/stored_records.h"

namespace {
SqliteStatement prepareInsert(SqliteConnection &database, const QString &table, const QStringList &columns)
{
    QStringList names;
    QStringList parameters;
    for (const QString &column : columns) {
        names << quotedName(column);
        parameters << QStringLiteral("?");
    }
    return database.prepare(QStringLiteral("insert into ") + quotedName(table) + QStringLiteral(" (") +
                            names.join(QLatin1Char(',')) + QStringLiteral(") values(") +
                            parameters.join(QLatin1Char(',')) + QLatin1Char(')'));
}

// The rows' columns, then every column of the loaded records that the table has besides them.
QStringList insertedColumns(const QVector<TableColumn> &tableColumns, const QStringList &columns,
                            const StoredRecords *loaded)
{
    QStringList all = columns;
    if (loaded == nullptr)
        return all;
    for (const TableColumn &column : loaded->columns())
        if (columnIndex(tableColumns, column.name) >= 0 && !all.contains(column.name, Qt::CaseInsensitive))
            all << column.name;
    return all;
}
} // namespace

RecordInsert::RecordInsert(SqliteConnection &database, const QString &table, const QVector<TableColumn> &tableColumns,
                           const QStringList &columns, StoredRecords *loaded)
    : m_inserted(insertedColumns(tableColumns, columns, loaded)),
      m_statement(prepareInsert(database, table, m_inserted)), m_loaded(loaded), m_columnCount(int(columns.size())),
      m_given(m_columnCount, false)
{
    for (const QString &column : std::as_const(m_inserted))
        m_loadedColumns << (loaded ? columnIndex(loaded->columns(), column) : -1);
}

void RecordInsert::start(const QString &loadedId)
{
    m_record = m_loaded && !loadedId.isEmpty() ? m_loaded->find(loadedId) : nullptr;
    m_given.fill(false);
}

int RecordInsert::loadedColumn(int column) const
{
    return m_record ? m_loadedColumns.at(column) : -1;
}

int RecordInsert::parameterFor(int column, Precedence precedence)
{
    if (precedence == Precedence::Loaded && loadedColumn(column) >= 0)
        return 0;
    m_given[column] = true;
    return column + 1;
}

void RecordInsert::setInteger(int column, qint64 value, Precedence precedence)
{
    if (const int parameter = parameterFor(column, precedence))
        m_statement.bindInteger(parameter, value);
}

void RecordInsert::setText(int column, const QString &text, Precedence precedence)
{
    if (const int parameter = parameterFor(column, precedence))
        m_statement.bindText(parameter, text);
}

void RecordInsert::setUtf8(int column, const QByteArray &utf8, Precedence precedence)
{
    if (const int parameter = parameterFor(column, precedence))
        m_statement.bindUtf8(parameter, utf8);
}

void RecordInsert::setNumber(int column, const QString &text, Precedence precedence)
{
    if (const int parameter = parameterFor(column, precedence))
        m_statement.bindNumber(parameter, text);
}

void RecordInsert::insert()
{
    for (int column = 0; column < m_inserted.size(); ++column) {
        if (column < m_columnCount && m_given.at(column))
            continue;
        if (const int cell = loadedColumn(column); cell >= 0)
            m_statement.bindValue(column + 1, *m_record, cell);
        else
            m_statement.bindNull(column + 1);
    }
    m_statement.execute();
}
