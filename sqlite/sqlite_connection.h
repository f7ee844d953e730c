#pragma once

#include "sqlite/query_result.h"
#include "sqlite/sqlite_value.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>
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

// The row a query has stepped to, read in place while SqliteConnection::forEachRow runs; no
// copy of the row is made. Column indexes are 0-based.
class SqliteRow
{
public:
    int columnCount() const { return int(m_kinds.size()); }
    // The cell as text, as QueryResult::fieldAsText gives it: read by the column's declared type.
    QString text(int column) const;
    // The cell exactly as stored, whatever the column declares.
    SqliteValue value(int column) const;
    SqliteValue::Type storedType(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    // A text's or blob's bytes; valid until the query steps on.
    QByteArrayView bytes(int column) const;

private:
    friend class SqliteConnection;
    friend class SqliteStatement;
    explicit SqliteRow(sqlite3_stmt *statement) : m_statement(statement) {}
    void checkColumn(int column) const;
    // The columns' kinds, taken when the first row arrives.
    void takeKinds();

    sqlite3_stmt *m_statement;
    QVector<QueryResult::Kind> m_kinds; // taken when the first row arrives
};

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
    void bindNull(int index);
    // A value exactly as stored: one read before, or the cell of another statement's present row.
    void bindValue(int index, const SqliteValue &value);
    void bindValue(int index, const SqliteRow &row, int column);
    // For INTEGER columns: a plain decimal goes in as the integer the column's affinity would
    // make of it, saving the conversion; any other text is bound as text for the affinity to judge.
    void bindNumber(int index, const QString &text);
    // Steps once and requires completion; the statement is then ready for the next values.
    void execute();

    // For a statement that returns rows: steps to the next one, read in place through row();
    // false after the last, when the statement is ready for the next values.
    bool nextRow();
    const SqliteRow &row() const { return m_row; }
    // Leaves the rows of this run unread, so that new values can be bound.
    void reset();

private:
    friend class SqliteConnection;
    SqliteStatement(sqlite3 *database, SqliteHandles::Statement statement, QString sql);
    void failUnlessOk(int result) const;

    sqlite3 *m_database;
    SqliteHandles::Statement m_statement;
    QString m_sql;
    QVector<QByteArray> m_texts; // the bound texts' bytes, kept until rebound
    SqliteRow m_row;
};

// A whole SQLite database in one block of memory, as a consistent copy of its pages; a
// connection can open it read-only. Copies share the block.
class DatabaseImage
{
public:
    bool isEmpty() const { return m_size == 0; }
    qint64 size() const { return m_size; }

private:
    friend class SqliteConnection;
    std::shared_ptr<unsigned char> m_bytes; // as SQLite allocated it
    qint64 m_size = 0;
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
    // Opens an image of a database, read-only, in memory; the connection keeps it.
    void openImage(const DatabaseImage &image);
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

    // A copy of the whole open database as one state of it, read under SQLite's own locking
    // (a write by another connection meanwhile is either all in it or not at all).
    DatabaseImage image();
    // True when the file could be opened for reading only.
    bool isReadOnly() const;

    // Rolls back an open transaction, then closes. Never throws.
    void close() noexcept;

private:
    SqliteHandles::Statement prepareOrFail(const QString &sql, const QByteArray &utf8);
    [[noreturn]] void fail(const QString &fixedText, const QString &subject) const;

    QString m_fileName;
    DatabaseImage m_image; // the image opened, which must outlive the handle reading it
    SqliteHandles::Database m_database;
    bool m_transactionOpen = false;
};
