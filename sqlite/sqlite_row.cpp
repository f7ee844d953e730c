#include "sqlite/sqlite_row.h"

#include "core/decimal_digits.h"
#include "core/tessaly_error.h"
#include "core/text_block.h"
#include "sqlite/sqlite_cells.h"

#include <QAnyStringView>
#include <QLocale>

#include <charconv>
#include <iterator>

#include <sqlite3.h>

using namespace SqliteCells;

void SqliteRow::takeKinds()
{
    const int columns = sqlite3_column_count(m_statement);
    m_kinds.clear();
    for (int column = 0; column < columns; ++column)
        m_kinds << columnKind(m_statement, column);
}

void SqliteRow::checkColumn(int column) const
{
    if (column < 0 || column >= columnCount())
        throw TessalyError(QStringLiteral("Field index out of range"));
}

SqliteRow::TextSource SqliteRow::textSource(int column) const
{
    checkColumn(column);
    const QueryResult::Kind kind = m_kinds.at(column);
    if (kind == QueryResult::Kind::Text) {
        // Only a NULL has no text, so no separate test of the type is needed.
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return {TextSource::Form::Utf8, QByteArrayView(text, text ? sqlite3_column_bytes(m_statement, column) : 0)};
    }
    if (sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return {};
    switch (kind) {
    case QueryResult::Kind::Integer:
        return {TextSource::Form::Integer, {}, sqlite3_column_int64(m_statement, column)};
    case QueryResult::Kind::Float:
        return {TextSource::Form::Real, {}, 0, sqlite3_column_double(m_statement, column)};
    case QueryResult::Kind::Blob:
    case QueryResult::Kind::Text:
        break;
    }
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
    return {TextSource::Form::Utf8, QByteArrayView(bytes, sqlite3_column_bytes(m_statement, column))};
}

namespace {
QString realText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}
} // namespace

QString SqliteRow::text(int column) const
{
    const TextSource source = textSource(column);
    switch (source.form) {
    case TextSource::Form::Utf8:
        return source.utf8.isNull() ? QString() : QString::fromUtf8(source.utf8);
    case TextSource::Form::Integer:
        return DecimalDigits(source.integer).view().toString();
    case TextSource::Form::Real:
        return realText(source.real);
    case TextSource::Form::Null:
        break;
    }
    return {};
}

void SqliteRow::appendText(int column, TextBlock &block) const
{
    const TextSource source = textSource(column);
    switch (source.form) {
    case TextSource::Form::Utf8:
        block.appendUtf8(source.utf8);
        break;
    case TextSource::Form::Integer:
        block.append(DecimalDigits(source.integer).view());
        break;
    case TextSource::Form::Real:
        block.append(realText(source.real));
        break;
    case TextSource::Form::Null:
        break;
    }
}

bool SqliteRow::textEquals(int column, QStringView other) const
{
    checkColumn(column);
    const int type = sqlite3_column_type(m_statement, column);
    if (type == SQLITE_NULL)
        return other.isEmpty();
    switch (m_kinds.at(column)) {
    case QueryResult::Kind::Integer: {
        char digits[24];
        const auto written =
            std::to_chars(std::begin(digits), std::end(digits), sqlite3_column_int64(m_statement, column));
        return QLatin1StringView(digits, written.ptr - digits) == other;
    }
    case QueryResult::Kind::Text:
    case QueryResult::Kind::Blob: {
        const auto *data = m_kinds.at(column) == QueryResult::Kind::Text
                               ? reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column))
                               : static_cast<const char *>(sqlite3_column_blob(m_statement, column));
        if (QAnyStringView::equal(QUtf8StringView(data, sqlite3_column_bytes(m_statement, column)), other))
            return true;
        break;
    }
    case QueryResult::Kind::Float:
        break;
    }
    // A difference, or bytes that are not UTF-8: the text itself decides.
    return text(column) == other;
}

SqliteValue::Type SqliteRow::storedType(int column) const
{
    checkColumn(column);
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return SqliteValue::Type::Integer;
    case SQLITE_FLOAT:
        return SqliteValue::Type::Float;
    case SQLITE_TEXT:
        return SqliteValue::Type::Text;
    case SQLITE_BLOB:
        return SqliteValue::Type::Blob;
    default:
        return SqliteValue::Type::Null;
    }
}

qint64 SqliteRow::integer(int column) const
{
    checkColumn(column);
    return sqlite3_column_int64(m_statement, column);
}

double SqliteRow::real(int column) const
{
    checkColumn(column);
    return sqlite3_column_double(m_statement, column);
}

QByteArray SqliteRow::storedUtf8(int column) const
{
    const SqliteValue::Type type = storedType(column);
    if (type == SqliteValue::Type::Text || type == SqliteValue::Type::Blob)
        return bytes(column).toByteArray();
    return text(column).toUtf8();
}

QByteArrayView SqliteRow::bytes(int column) const
{
    // A text comes as UTF-8 whatever the database's encoding; a blob's bytes as they are.
    const void *data = storedType(column) == SqliteValue::Type::Text
                           ? static_cast<const void *>(sqlite3_column_text(m_statement, column))
                           : sqlite3_column_blob(m_statement, column);
    return QByteArrayView(static_cast<const char *>(data), sqlite3_column_bytes(m_statement, column));
}

std::optional<QByteArrayView> SqliteRow::storedText(int column) const
{
    checkColumn(column);
    if (sqlite3_column_type(m_statement, column) != SQLITE_TEXT)
        return std::nullopt;
    return QByteArrayView(reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)),
                          sqlite3_column_bytes(m_statement, column));
}

SqliteValue SqliteRow::value(int column) const
{
    switch (storedType(column)) {
    case SqliteValue::Type::Integer:
        return SqliteValue::integer(integer(column));
    case SqliteValue::Type::Float:
        return SqliteValue::real(real(column));
    case SqliteValue::Type::Text:
        return SqliteValue::text(bytes(column).toByteArray());
    case SqliteValue::Type::Blob:
        return SqliteValue::blob(bytes(column).toByteArray());
    case SqliteValue::Type::Null:
        break;
    }
    return {};
}
