#pragma once

#include "sqlite/query_result.h"
#include "sqlite/sqlite_handles.h"
#include "sqlite/sqlite_row.h"
#include "sqlite/sqlite_statement.h"
#include "sqlite/sqlite_value.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

struct sqlite3;

// One connection to a SQLite database (`SqliteConnection`). Every failure of SQLite throws
// SqliteError with SQLite's own message attached.
class SqliteConnection
{
public:
    SqliteConnection() = default;
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    enum class OpenMode {
        ReadWriteCreate, // creates an empty file when there is none
        ReadWrite,       // fails when there is no file
        ReadOnly,        // never writes the file, nor creates it or a journal beside it
    };
    struct OpenOptions
    {
        OpenMode mode = OpenMode::ReadWriteCreate;
        // How long a statement waits for another connection's lock before failing as busy.
        int busyTimeoutMs = 0;
    };
    // Opens and sets the connection's pragmas.
    void open(const QString &fileName, const OpenOptions &options);
    void open(const QString &fileName, OpenMode mode = OpenMode::ReadWriteCreate) { open(fileName, OpenOptions{mode}); }
    bool isOpen() const { return bool(m_database); }

    // Runs a statement that returns no rows.
    void execute(const QString &sql);
    // Runs a statement and keeps every row it returns.
    QueryResult query(const QString &sql);
    // Runs a statement and hands each row to `visit` as it arrives, keeping none; fails as query() does.
    void forEachRow(const QString &sql, const std::function<void(const SqliteRow &row)> &visit);
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

    QString m_fileName;
    SqliteHandles::Database m_database;
    bool m_transactionOpen = false;
};
