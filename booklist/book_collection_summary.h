#pragma once

#include "booklist/book_row.h"

#include <QHash>
#include <QString>
#include <QVector>

// What the statistics and a click on a collection read of the file list: each row's
// collection as a small number and its size, and the count and bytes of the books in a
// collection. Twelve bytes a row, where a row itself takes hundreds, so even a library of
// 100,000 books is read from the processor's cache; rows edited since are worked in one by one.
class BookCollectionSummary
{
public:
    static constexpr quint32 NoCollection = 0;

    static BookCollectionSummary of(const QVector<BookRow> &rows);
    // The same from a pass that already knows each row's collection: `keys` holds, per row,
    // the index of its `collection` text in `names` plus one, or NoCollection; `bytes` its size.
    static BookCollectionSummary ofKnownKeys(QVector<quint32> keys, QVector<qint64> bytes,
                                             const QVector<QString> &names);
    // Takes in the present state of `row`, which the summary had as it was before.
    void refreshRow(int row, const BookRow &book);

    int booksInCollections() const { return m_booksInCollections; }
    // Saturates rather than overflows on absurd sizes read from a reader's database.
    qint64 bytesInCollections() const;
    // The rows whose `collection` is `name`, in row order; none for an empty name.
    QVector<int> rowsOf(const QString &name) const;

private:
    quint32 keyOf(const QString &collection);
    // The key of a collection text met before, or NoCollection.
    quint32 knownKeyOf(const QString &collection) const;
    void count(int row, int direction);

    QVector<quint32> m_keys;                   // per row; NoCollection for an empty `collection`
    QVector<qint64> m_bytes;                   // per row
    QHash<QString, quint32> m_keyOfCollection; // each collection text met, numbered from 1
    // From a pass that knew the keys: the texts by key less one, looked through until an edit
    // needs the index above. A build's first click reads one collection, and indexing
    // tens of thousands of names would cost more than all its comparisons.
    QVector<QString> m_unindexedNames;
    QVector<int> m_booksWithKey; // per key
    int m_booksInCollections = 0;
    // The bytes of the books in a collection as a 128-bit sum, which edits can take from.
    quint64 m_bytesLow = 0;
    quint64 m_bytesHigh = 0;
    QString m_lastRefreshed; // the collection text refreshRow() met last, and its key
    quint32 m_lastRefreshedKey = NoCollection;
};
