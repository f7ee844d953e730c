#pragma once

#include "sqlite/sqlite_connection.h"
#include "sqlite/table_columns.h"

#include <QHash>
#include <QString>

#include <optional>

// The records of one table, each found by the text its `_id` reads as, the way the rows of a
// loaded library name them, and read in place with every value as it was stored.
class StoredRecords
{
public:
    // No records when the database has no such table.
    StoredRecords(SqliteConnection &database, const QString &table);

    const QVector<TableColumn> &columns() const { return m_columns; }
    // The record whose `_id` reads as `id`, valid until the next call; nullptr when there is none.
    const SqliteRow *find(const QString &id);

private:
    QVector<TableColumn> m_columns;
    QHash<QString, qint64> m_rowIds; // `_id` text -> rowid
    std::optional<SqliteStatement> m_lookup;
};
