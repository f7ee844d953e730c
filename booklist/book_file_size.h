#pragma once

#include <QString>
#include <QtGlobal>

#include <algorithm>

// A book's `file_size`: the decimal text the file list shows and the reader's database
// receives, and beside it the same size as a number for the sums over many books. Both are
// only ever set together, so they cannot disagree. Text that is not a non-negative decimal
// number (an empty size read from a reader's database, say) counts as 0 bytes.
class BookFileSize
{
public:
    BookFileSize() = default;
    // Rows are written with the text, as the grid and the database hold it.
    BookFileSize(QString text);
    BookFileSize(const char *text) : BookFileSize(QString::fromUtf8(text)) {}
    explicit BookFileSize(qint64 bytes)
        : m_bytes(std::max<qint64>(bytes, 0)), m_plainDigits(bytes >= 0), m_text(QString::number(bytes))
    {}

    const QString &text() const { return m_text; }
    operator const QString &() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    qint64 bytes() const { return m_bytes; }
    // The text is nothing but decimal digits, so bytes() is exactly what it says.
    bool isPlainDigits() const { return m_plainDigits; }

    bool operator==(const BookFileSize &) const = default;

private:
    qint64 m_bytes = 0; // first: the statistics read it beside the collection name
    bool m_plainDigits = false;
    QString m_text;
};

// Its text moves in memory as it is, like the other fields of a row.
Q_DECLARE_TYPEINFO(BookFileSize, Q_RELOCATABLE_TYPE);
