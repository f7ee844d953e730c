#include "sqlite/stored_records.h"

StoredRecords::StoredRecords(SqliteConnection &database, const QString &table)
    : m_columns(tableColumns(database, table))
{
    if (m_columns.isEmpty() || columnIndex(m_columns, QStringLiteral("_id")) < 0)
        return;
    // Records are looked up by rowid, which every table of the reader's has, whatever its `_id` holds.
    database.forEachRow(QStringLiteral("select _id, rowid from ") + quotedName(table),
                        [this](const SqliteRow &row) { m_rowIds.insert(row.text(0), row.integer(1)); });
    m_lookup.emplace(
        database.prepare(QStringLiteral("select * from ") + quotedName(table) + QStringLiteral(" where rowid=?")));
}

const SqliteRow *StoredRecords::find(const QString &id)
{
    const auto rowId = m_rowIds.constFind(id);
    if (rowId == m_rowIds.cend())
        return nullptr;
    m_lookup->reset();
    m_lookup->bindInteger(1, *rowId);
    return m_lookup->nextRow() ? &m_lookup->row() : nullptr;
}
