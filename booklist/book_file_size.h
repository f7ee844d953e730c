#pragma once

#include <QString>
#include <QtGlobal>

// A book's `file_size`: the decimal text the file list shows and the reader's database
// receives, and beside it the same size as a number for the sums over many books. Both are
// only ever set together, so they cannot disagree. Text that is not a non-negative decimal
// number (an empty size read from a reader's database, say) counts as 0 bytes.
class BookFileSize
{
public:
    BookFileSize() = default;
    // Rows are written with the text, as the grid and the database hold it.
    BookFileSize(const QString &text) : m_bytes(bytesOf(text)), m_text(text) {}
    BookFileSize(const char *text) : BookFileSize(QString::fromUtf8(text)) {}
    explicit BookFileSize(qint64 bytes) : m_bytes(bytes), m_text(QString::number(bytes)) {}

    const QString &text() const { return m_text; }
    operator const QString &() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    qint64 bytes() const { return m_bytes; }

    bool operator==(const BookFileSize &) const = default;

private:
    static qint64 bytesOf(const QString &text);

    qint64 m_bytes = 0; // first: the statistics read it beside the collection name
    QString m_text;
};

// Its text moves in memory as it is, like the other fields of a row.
Q_DECLARE_TYPEINFO(BookFileSize, Q_RELOCATABLE_TYPE);
