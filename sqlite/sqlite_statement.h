#pragma once

#include "sqlite/sqlite_handles.h"
#include "sqlite/sqlite_row.h"

#include <QByteArray>
#include <QString>
#include <QVector>

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
