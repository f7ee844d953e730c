#include "sqlite/sqlite_statement.h"

#include "sqlite/sqlite_error.h"
#include "sqlite/sqlite_handles.h"

#include <sqlite3.h>

#include <utility>

using namespace SqliteFailure;

SqliteStatement::SqliteStatement(sqlite3 *database, SqliteHandles::Statement statement, QString sql)
    : m_database(database), m_statement(std::move(statement)), m_sql(std::move(sql)),
      m_texts(sqlite3_bind_parameter_count(m_statement.get())), m_row(m_statement.get())
{}

void SqliteStatement::failUnlessOk(int result) const
{
    if (result != SQLITE_OK)
        throw SqliteError(errorText(m_database, QStringLiteral("Error executing SQL statement"), m_sql),
                          primaryCode(m_database));
}

void SqliteStatement::bindText(int index, const QString &text)
{
    bindUtf8(index, text.toUtf8());
}

void SqliteStatement::bindUtf8(int index, const QByteArray &utf8)
{
    if (index < 1 || index > m_texts.size())
        failUnlessOk(sqlite3_bind_null(m_statement.get(), index)); // lets SQLite report the bad index
    // An empty text is bound as '' (never NULL), as a quoted empty value would be.
    QByteArray &bound = m_texts[index - 1];
    bound = utf8;
    failUnlessOk(sqlite3_bind_text(m_statement.get(), index, bound.constData(), int(bound.size()), SQLITE_STATIC));
}

void SqliteStatement::bindNumber(int index, const QString &text)
{
    // Up to 18 digits, no sign other than a leading minus, no leading zero, no spaces.
    const qsizetype digitsFrom = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype digits = text.size() - digitsFrom;
    bool plain = digits > 0 && digits <= 18 && (text.at(digitsFrom) != QLatin1Char('0') || digits == 1);
    for (qsizetype i = digitsFrom; plain && i < text.size(); ++i)
        plain = text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
    if (plain)
        bindInteger(index, text.toLongLong());
    else
        bindText(index, text);
}

void SqliteStatement::bindInteger(int index, qint64 value)
{
    failUnlessOk(sqlite3_bind_int64(m_statement.get(), index, value));
}

void SqliteStatement::bindNull(int index)
{
    failUnlessOk(sqlite3_bind_null(m_statement.get(), index));
}

void SqliteStatement::bindValue(int index, const SqliteValue &value)
{
    switch (value.type()) {
    case SqliteValue::Type::Null:
        bindNull(index);
        return;
    case SqliteValue::Type::Integer:
        bindInteger(index, value.toInteger());
        return;
    case SqliteValue::Type::Float:
        failUnlessOk(sqlite3_bind_double(m_statement.get(), index, value.toReal()));
        return;
    case SqliteValue::Type::Text:
        bindUtf8(index, value.bytes());
        return;
    case SqliteValue::Type::Blob:
        failUnlessOk(sqlite3_bind_blob64(m_statement.get(), index, value.bytes().constData(),
                                         sqlite3_uint64(value.bytes().size()), SQLITE_TRANSIENT));
        return;
    }
}

void SqliteStatement::bindValue(int index, const SqliteRow &row, int column)
{
    row.checkColumn(column);
    // SQLite copies the value, storage class and bytes, so the other statement may step on.
    failUnlessOk(sqlite3_bind_value(m_statement.get(), index, sqlite3_column_value(row.m_statement, column)));
}

bool SqliteStatement::nextRow()
{
    const int result = sqlite3_step(m_statement.get());
    if (result == SQLITE_ROW) {
        if (m_row.m_kinds.isEmpty())
            m_row.takeKinds();
        return true;
    }
    const QString message = errorText(m_database, QStringLiteral("Could not retrieve data"), m_sql);
    const int code = primaryCode(m_database);
    sqlite3_reset(m_statement.get());
    if (result != SQLITE_DONE)
        throw SqliteError(message, code);
    return false;
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement.get());
}

void SqliteStatement::execute()
{
    const int result = sqlite3_step(m_statement.get());
    if (result != SQLITE_DONE) {
        const QString message = errorText(m_database, QStringLiteral("Error executing SQL statement"), m_sql);
        const int code = primaryCode(m_database);
        sqlite3_reset(m_statement.get());
        throw SqliteError(message, code);
    }
    sqlite3_reset(m_statement.get());
}
