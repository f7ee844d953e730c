#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <variant>

// Every row of one query, held in memory (`QueryResult`), read front to back.
class QueryResult
{
public:
    // How a column's values are read, decided from its declared type.
    enum class Kind { Integer, Float, Blob, Text };
    // NULL, an integer, a double, or the bytes of a text or blob.
    using Cell = std::variant<std::monostate, qint64, double, QByteArray>;

    int rowCount() const { return m_rowCount; }
    // Zero when the query returned no rows.
    int columnCount() const { return int(m_names.size()); }
    // Upper-cased.
    QString columnName(int column) const { return m_names.at(column); }
    Kind columnKind(int column) const { return m_kinds.at(column); }

    bool eof() const { return m_currentRow >= m_rowCount; }
    void next();

    // The current row's cell as text: NULL gives empty text, numbers their decimal text,
    // texts and blobs their bytes read as UTF-8. Fails at the end of the table.
    QString fieldAsText(int column) const;
    // The same as UTF-8 bytes, exactly as stored for texts and blobs.
    QByteArray fieldAsUtf8(int column) const;
    // An integer cell's value; other cells read through their text, NULL as 0.
    qint64 fieldAsInteger(int column) const;
    bool fieldIsNull(int column) const;

private:
    friend class SqliteConnection;

    const Cell &cell(int column) const;

    QStringList m_names;
    QVector<Kind> m_kinds;
    QVector<Cell> m_cells; // row after row
    int m_rowCount = 0;
    int m_currentRow = 0;
};
