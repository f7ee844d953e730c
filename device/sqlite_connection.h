#pragma once

#include "device/query_result.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace SqliteHandles {
struct CloseDatabase
{
    void operator()(sqlite3 *database) const;
};
struct FinalizeStatement
{
    void operator()(sqlite3_stmt *statement) const;
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;
} // namespace SqliteHandles

// A statement prepared once and run many times with values bound to its "?" parameters
// (1-based). Texts are bound as text, so the columns' affinities store them exactly as
// the same values quoted into the statement text would be stored.
class SqliteStatement
{
public:
    void bindText(int index, const QString &text);
    // Text already in UTF-8.
    void bindUtf8(int index, const QByteArray &utf8);
    void bindInteger(int index, qint64 value);
    // For INTEGER columns: a plain decimal goes in as the integer the column's affinity would
    // make of it, saving the conversion; any other text is bound as text for the affinity to judge.
    void bindNumber(int index, const QString &text);
    // Steps once and requires completion; the statement is then ready for the next values.
    void execute();

private:
    friend class SqliteConnection;
    SqliteStatement(sqlite3 *database, SqliteHandles::Statement statement, QString sql);
    void failUnlessOk(int result) const;

    sqlite3 *m_database;
    SqliteHandles::Statement m_statement;
    QString m_sql;
    QVector<QByteArray> m_texts; // the bound texts' bytes, kept until rebound
};

// One connection to a SQLite database (`SqliteConnection`). Every failure of SQLite throws
// SqliteError with SQLite's own message attached.
class SqliteConnection
{
public:
    SqliteConnection() = default;
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    struct OpenOptions
    {
        bool createIfMissing = true;
        // How long a statement waits for another connection's lock before failing as busy.
        int busyTimeoutMs = 0;
    };
    // Opens (by default creating an empty file when there is none) and sets the connection's pragmas.
    void open(const QString &fileName, const OpenOptions &options);
    void open(const QString &fileName) { open(fileName, OpenOptions()); }
    bool isOpen() const { return bool(m_database); }

    // Runs a statement that returns no rows.
    void execute(const QString &sql);
    // Runs a statement and keeps every row it returns.
    QueryResult query(const QString &sql);
    SqliteStatement prepare(const QString &sql);

    // Deferred takes the write lock at the first write; Immediate takes it at once, failing
    // (after the busy timeout) while another connection holds it.
    enum class TransactionLock { Deferred, Immediate };
    void beginTransaction(TransactionLock lock = TransactionLock::Deferred);
    void commit();
    // Undoes an open transaction, if any. Never throws.
    void rollback() noexcept;
    bool inTransaction() const { return m_transactionOpen; }

    bool tableExists(const QString &name);

    // True when the file could be opened for reading only.
    bool isReadOnly() const;

    // Rolls back an open transaction, then closes. Never throws.
    void close() noexcept;

private:
    SqliteHandles::Statement prepareOrFail(const QString &sql, const QByteArray &utf8);
    [[noreturn]] void fail(const QString &fixedText, const QString &subject) const;

    SqliteHandles::Database m_database;
    bool m_transactionOpen = false;
};
