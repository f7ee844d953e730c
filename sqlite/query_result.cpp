#include "sqlite/query_result.h"

#include "core/tessaly_error.h"

#include <QLocale>

void QueryResult::next()
{
    if (!eof())
        ++m_currentRow;
}

const QueryResult::Cell &QueryResult::cell(int column) const
{
    if (eof())
        throw TessalyError(QStringLiteral("Table is at End of File"));
    if (column < 0 || column >= columnCount())
        throw TessalyError(QStringLiteral("Field index out of range"));
    return m_cells.at(qsizetype(m_currentRow) * columnCount() + column);
}

QString QueryResult::fieldAsText(int column) const
{
    const Cell &value = cell(column);
    if (const auto *integer = std::get_if<qint64>(&value))
        return QString::number(*integer);
    if (const auto *real = std::get_if<double>(&value))
        return QString::number(*real, 'g', QLocale::FloatingPointShortest);
    if (const auto *bytes = std::get_if<QByteArray>(&value))
        return QString::fromUtf8(*bytes);
    return {};
}

QByteArray QueryResult::fieldAsUtf8(int column) const
{
    if (const auto *bytes = std::get_if<QByteArray>(&cell(column)))
        return *bytes;
    return fieldAsText(column).toUtf8();
}

qint64 QueryResult::fieldAsInteger(int column) const
{
    if (const auto *integer = std::get_if<qint64>(&cell(column)))
        return *integer;
    return fieldAsText(column).toLongLong();
}

bool QueryResult::fieldIsNull(int column) const
{
    return std::holds_alternative<std::monostate>(cell(column));
}
