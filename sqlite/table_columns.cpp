#include "sqlite/table_columns.h"

#include "sqlite/sqlite_connection.h"

#include <QRegularExpression>

namespace {
enum TableInfoField { Position, Name, DeclaredType, NotNull, DefaultValue, PrimaryKey };

// Only a type name, and a default that is a literal, are carried into the new definition: anything
// else in another program's definition may not be added to an existing table, or may not be sound.
bool isPlainType(const QString &type)
{
    static const QRegularExpression plain(
        QStringLiteral(R"(^[A-Za-z_][A-Za-z0-9_ ]*(\(\s*[-+]?\d+\s*(,\s*[-+]?\d+\s*)?\))?$)"));
    return plain.match(type).hasMatch();
}

bool isLiteral(const QString &value)
{
    static const QRegularExpression literal(
        QStringLiteral(R"(^(NULL|[-+]?\d+(\.\d+)?|'([^']|'')*'|[xX]'[0-9A-Fa-f]*')$)"),
        QRegularExpression::CaseInsensitiveOption);
    return literal.match(value).hasMatch();
}
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

void addMissingColumns(SqliteConnection &database, const QString &table, const QVector<TableColumn> &former)
{
    const QVector<TableColumn> present = tableColumns(database, table);
    for (const TableColumn &column : former) {
        // A table has one key, the new definition's.
        if (column.primaryKey || columnIndex(present, column.name) >= 0)
            continue;
        QString definition = quotedName(column.name);
        if (isPlainType(column.declaredType))
            definition += QLatin1Char(' ') + column.declaredType;
        const bool hasDefault = isLiteral(column.defaultValue);
        if (hasDefault)
            definition += QStringLiteral(" DEFAULT ") + column.defaultValue;
        // A column added to a table with rows needs a default to be NOT NULL.
        if (column.notNull && hasDefault && column.defaultValue.compare(QLatin1String("NULL"), Qt::CaseInsensitive))
            definition += QStringLiteral(" NOT NULL");
        database.execute(QStringLiteral("ALTER TABLE ") + quotedName(table) + QStringLiteral(" ADD COLUMN ") +
                         definition);
    }
}
