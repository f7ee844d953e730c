#include "sqlite/sqlite_connection.h"

#include "sqlite/sqlite_error.h"

#include <QLocale>

#include <sqlite3.h>

#include <iterator>
#include <utility>

namespace SqliteHandles {
void CloseDatabase::operator()(sqlite3 *database) const
{
    sqlite3_close_v2(database);
}

void FinalizeStatement::operator()(sqlite3_stmt *statement) const
{
    sqlite3_finalize(statement);
}
} // namespace SqliteHandles

namespace {
// SQLite's primary result code of the last failure, without the extended detail.
int primaryCode(sqlite3 *database)
{
    return database == nullptr ? SQLITE_ERROR : sqlite3_errcode(database) & 0xff;
}

// The fixed text, followed by the statement and SQLite's message when SQLite has one.
QString errorText(sqlite3 *database, const QString &fixedText, const QString &subject)
{
    if (database == nullptr || sqlite3_errcode(database) == SQLITE_OK)
        return fixedText;
    return fixedText + QStringLiteral(" \"") + subject + QStringLiteral("\" : ") +
           QString::fromUtf8(sqlite3_errmsg(database));
}

QueryResult::Kind kindOfDeclaredType(const char *declared, int firstValueType)
{
    if (declared == nullptr) {
        switch (firstValueType) {
        case SQLITE_INTEGER:
            return QueryResult::Kind::Integer;
        case SQLITE_FLOAT:
            return QueryResult::Kind::Float;
        case SQLITE_BLOB:
            return QueryResult::Kind::Blob;
        default:
            return QueryResult::Kind::Text;
        }
    }
    const QByteArray type = QByteArray(declared).toUpper();
    if (type == "INTEGER" || type == "BOOLEAN")
        return QueryResult::Kind::Integer;
    if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL")
        return QueryResult::Kind::Float;
    if (type == "BLOB")
        return QueryResult::Kind::Blob;
    return QueryResult::Kind::Text;
}

// The decimal text of a number, as QString::number gives it, without its general machinery: a
// load makes four of them for each of tens of thousands of books.
QString decimalText(qint64 value)
{
    char16_t digits[20];
    qsizetype first = std::size(digits);
    quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    do {
        digits[--first] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[--first] = u'-';
    return QString(reinterpret_cast<const QChar *>(digits + first), qsizetype(std::size(digits)) - first);
}

QueryResult::Kind columnKind(sqlite3_stmt *statement, int column)
{
    return kindOfDeclaredType(sqlite3_column_decltype(statement, column), sqlite3_column_type(statement, column));
}

QueryResult::Cell readCell(sqlite3_stmt *statement, int column, QueryResult::Kind kind)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return {};
    switch (kind) {
    case QueryResult::Kind::Integer:
        return qint64(sqlite3_column_int64(statement, column));
    case QueryResult::Kind::Float:
        return sqlite3_column_double(statement, column);
    case QueryResult::Kind::Blob: {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(statement, column));
    }
    case QueryResult::Kind::Text:
        break;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return QByteArray(text, sqlite3_column_bytes(statement, column));
}
} // namespace

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

void SqliteConnection::openImage(const DatabaseImage &image)
{
    close();
    const QString name = QStringLiteral(":memory:");
    sqlite3 *handle = nullptr;
    const int result = sqlite3_open_v2(":memory:", &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandles::Database database(handle);
    if (result != SQLITE_OK || !database)
        throw TessalyError(QStringLiteral("Failed to open database \"") + name + QStringLiteral("\" : unknown error"));
    m_database = std::move(database);
    m_fileName = name;
    m_image = image;
    // Read-only, SQLite reads the image where it lies and never resizes or frees it.
    if (sqlite3_deserialize(m_database.get(), "main", m_image.m_bytes.get(), m_image.m_size, m_image.m_size,
                            SQLITE_DESERIALIZE_READONLY) != SQLITE_OK)
        fail(QStringLiteral("Failed to open database"), name);
}

DatabaseImage SqliteConnection::image()
{
    // SQLite copies the pages within one read transaction, as a query would read them.
    sqlite3_int64 size = 0;
    unsigned char *bytes = sqlite3_serialize(m_database.get(), "main", &size, 0);
    if (bytes == nullptr) {
        const int code = sqlite3_errcode(m_database.get());
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            throw TessalyError(QStringLiteral("Could not prepare SQL statement"));
        fail(QStringLiteral("Could not retrieve data"), m_fileName);
    }
    DatabaseImage image;
    image.m_bytes.reset(bytes, sqlite3_free);
    image.m_size = size;
    return image;
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
    m_image = {};
    m_fileName.clear();
}

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

QString SqliteRow::text(int column) const
{
    checkColumn(column);
    const QueryResult::Kind kind = m_kinds.at(column);
    if (kind == QueryResult::Kind::Text) {
        // Only a NULL has no text, so no separate test of the type is needed.
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column)) : QString();
    }
    if (sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return {};
    switch (kind) {
    case QueryResult::Kind::Integer:
        return decimalText(sqlite3_column_int64(m_statement, column));
    case QueryResult::Kind::Float:
        return QString::number(sqlite3_column_double(m_statement, column), 'g', QLocale::FloatingPointShortest);
    case QueryResult::Kind::Blob:
    case QueryResult::Kind::Text:
        break;
    }
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column));
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

QByteArrayView SqliteRow::bytes(int column) const
{
    // A text comes as UTF-8 whatever the database's encoding; a blob's bytes as they are.
    const void *data = storedType(column) == SqliteValue::Type::Text
                           ? static_cast<const void *>(sqlite3_column_text(m_statement, column))
                           : sqlite3_column_blob(m_statement, column);
    return QByteArrayView(static_cast<const char *>(data), sqlite3_column_bytes(m_statement, column));
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
