#pragma once

#include <QString>
#include <QVector>

class SqliteConnection;

// One column of a table as the table's definition declares it.
struct TableColumn
{
    QString name;
    QString declaredType;
    bool notNull = false;
    QString defaultValue; // as written in the definition; empty when there is none
    bool primaryKey = false;
};

// The columns of `table` in their order; none when there is no such table.
QVector<TableColumn> tableColumns(SqliteConnection &database, const QString &table);

// The position of the column named `name` (letter case ignored, as SQLite compares names), or -1.
int columnIndex(const QVector<TableColumn> &columns, const QString &name);

// `name` as an SQL identifier.
QString quotedName(const QString &name);
