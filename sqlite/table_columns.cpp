#include "sqlite/table_columns.h"

#include "sqlite/sqlite_connection.h"

namespace {
enum TableInfoField { Position, Name, DeclaredType, NotNull, DefaultValue, PrimaryKey };

} // namespace

QString quotedName(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QVector<TableColumn> tableColumns(SqliteConnection &database, const QString &table)
{
    QVector<TableColumn> columns;
    database.forEachRow(QStringLiteral("pragma table_info(") + quotedName(table) + QLatin1Char(')'),
                        [&columns](const SqliteRow &row) {
                            columns.append({row.text(Name), row.text(DeclaredType), row.integer(NotNull) != 0,
                                            row.text(DefaultValue), row.integer(PrimaryKey) != 0});
                        });
    return columns;
}

int columnIndex(const QVector<TableColumn> &columns, const QString &name)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
