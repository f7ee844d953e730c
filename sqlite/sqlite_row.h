#pragma once

#include "sqlite/query_result.h"
#include "sqlite/sqlite_value.h"

#include <QByteArrayView>
#include <QString>
#include <QVector>

#include <optional>

class TextBlock;
struct sqlite3_stmt;

// The row a query has stepped to, read in place while SqliteConnection::forEachRow runs; no
// copy of the row is made. Column indexes are 0-based.
class SqliteRow
{
public:
    int columnCount() const { return int(m_kinds.size()); }
    // The cell as text, as QueryResult::fieldAsText gives it: read by the column's declared type.
    QString text(int column) const;
    // The same text appended to the text `block` is writing.
    void appendText(int column, TextBlock &block) const;
    // Whether text(column) would equal `other`, mostly told without making that text.
    bool textEquals(int column, QStringView other) const;
    // The cell exactly as stored, whatever the column declares.
    SqliteValue value(int column) const;
    SqliteValue::Type storedType(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    // A text's or blob's bytes; valid until the query steps on.
    QByteArrayView bytes(int column) const;
    // A text's or blob's bytes as stored, a number's text in UTF-8, nothing for NULL.
    QByteArray storedUtf8(int column) const;
    // The bytes of a cell stored as text, none for any other storage class; valid until the
    // query steps on.
    std::optional<QByteArrayView> storedText(int column) const;

private:
    friend class SqliteConnection;
    friend class SqliteStatement;
    explicit SqliteRow(sqlite3_stmt *statement) : m_statement(statement) {}
    void checkColumn(int column) const;
    // What a cell's text is made from: its UTF-8 bytes (null for none) or its number.
    struct TextSource
    {
        enum class Form { Null, Utf8, Integer, Real } form = Form::Null;
        QByteArrayView utf8;
        qint64 integer = 0;
        double real = 0;
    };
    TextSource textSource(int column) const;
    // The columns' kinds, taken when the first row arrives.
    void takeKinds();

    sqlite3_stmt *m_statement;
    QVector<QueryResult::Kind> m_kinds; // taken when the first row arrives
};
