#include "sqlite/sqlite_connection.h"

#include "sqlite/sqlite_cells.h"
#include "sqlite/sqlite_error.h"

#include <sqlite3.h>

#include <utility>

using namespace SqliteCells;
using namespace SqliteFailure;

SqliteConnection::~SqliteConnection()
{
    close();
}

void SqliteConnection::fail(const QString &fixedText, const QString &subject) const
{
    throw SqliteError(errorText(m_database.get(), fixedText, subject), primaryCode(m_database.get()));
}

void SqliteConnection::open(const QString &fileName, const OpenOptions &options)
{
    close();
    sqlite3 *handle = nullptr;
    // A connection serves one thread only, so SQLite need not lock it on every call.
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (options.mode) {
    case OpenMode::ReadWriteCreate:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    case OpenMode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case OpenMode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    }
    const int result = sqlite3_open_v2(fileName.toUtf8().constData(), &handle, flags, nullptr);
    SqliteHandles::Database database(handle);
    if (result != SQLITE_OK) {
        const QString fixedText = QStringLiteral("Failed to open database");
        if (!database)
            throw SqliteError(fixedText + QStringLiteral(" \"") + fileName + QStringLiteral("\" : unknown error"),
                              SQLITE_CANTOPEN);
        throw SqliteError(fixedText + QStringLiteral(" \"") + fileName + QStringLiteral("\" : ") +
                              QString::fromUtf8(sqlite3_errmsg(database.get())),
                          result & 0xff);
    }
    m_database = std::move(database);
    m_fileName = fileName;
    sqlite3_busy_timeout(m_database.get(), options.busyTimeoutMs);
    execute(QStringLiteral("PRAGMA SYNCHRONOUS=NORMAL;"));
    execute(QStringLiteral("PRAGMA temp_store = MEMORY;"));
}

SqliteHandles::Statement SqliteConnection::prepareOrFail(const QString &sql, const QByteArray &utf8)
{
    sqlite3_stmt *handle = nullptr;
    const int result = sqlite3_prepare_v2(m_database.get(), utf8.constData(), int(utf8.size()), &handle, nullptr);
    SqliteHandles::Statement statement(handle);
    if (result != SQLITE_OK)
        fail(QStringLiteral("Error executing SQL"), sql);
    if (!statement)
        fail(QStringLiteral("Could not prepare SQL statement"), sql);
    return statement;
}

void SqliteConnection::execute(const QString &sql)
{
    const SqliteHandles::Statement statement = prepareOrFail(sql, sql.toUtf8());
    if (sqlite3_step(statement.get()) != SQLITE_DONE)
        fail(QStringLiteral("Error executing SQL statement"), sql);
}

SqliteStatement SqliteConnection::prepare(const QString &sql)
{
    return SqliteStatement(m_database.get(), prepareOrFail(sql, sql.toUtf8()), sql);
}

QueryResult SqliteConnection::query(const QString &sql)
{
    QueryResult table;
    forEachRow(sql, [&table](const SqliteRow &row) {
        if (table.m_rowCount == 0) {
            // Names and kinds come with the first row; a query without rows has no columns.
            for (int column = 0; column < row.columnCount(); ++column)
                table.m_names << QString::fromUtf8(sqlite3_column_name(row.m_statement, column)).toUpper();
            table.m_kinds = row.m_kinds;
        }
        for (int column = 0; column < row.columnCount(); ++column)
            table.m_cells.append(readCell(row.m_statement, column, row.m_kinds.at(column)));
        ++table.m_rowCount;
    });
    return table;
}

void SqliteConnection::forEachRow(const QString &sql, const std::function<void(const SqliteRow &row)> &visit)
{
    const SqliteHandles::Statement statement = prepareOrFail(sql, sql.toUtf8());
    SqliteRow row(statement.get());
    bool first = true;
    for (;;) {
        const int result = sqlite3_step(statement.get());
        if (result == SQLITE_DONE)
            break;
        if (result == SQLITE_BUSY)
            throw SqliteError(QStringLiteral("Could not prepare SQL statement"), SQLITE_BUSY);
        if (result != SQLITE_ROW)
            fail(QStringLiteral("Could not retrieve data"), sql);
        if (std::exchange(first, false))
            row.takeKinds();
        visit(row);
    }
}

void SqliteConnection::beginTransaction(TransactionLock lock)
{
    if (m_transactionOpen)
        throw TessalyError(QStringLiteral("Transaction already open"));
    execute(lock == TransactionLock::Immediate ? QStringLiteral("BEGIN IMMEDIATE TRANSACTION;")
                                               : QStringLiteral("BEGIN TRANSACTION;"));
    m_transactionOpen = true;
}

bool SqliteConnection::isReadOnly() const
{
    return sqlite3_db_readonly(m_database.get(), "main") == 1;
}

void SqliteConnection::commit()
{
    execute(QStringLiteral("COMMIT;"));
    m_transactionOpen = false;
}

bool SqliteConnection::tableExists(const QString &name)
{
    QString quoted = name.toLower();
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    const QueryResult tables =
        query(QStringLiteral("select [sql] from sqlite_master where [type] = 'table' and lower(name) = '") + quoted +
              QStringLiteral("' "));
    return tables.rowCount() > 0;
}

void SqliteConnection::rollback() noexcept
{
    if (m_database && m_transactionOpen && sqlite3_get_autocommit(m_database.get()) == 0)
        sqlite3_exec(m_database.get(), "ROLLBACK;", nullptr, nullptr, nullptr);
    m_transactionOpen = false;
}

void SqliteConnection::close() noexcept
{
    if (!m_database)
        return;
    // A transaction left open is undone, so nothing half-written reaches the file.
    rollback();
    m_database.reset();
    m_fileName.clear();
}
