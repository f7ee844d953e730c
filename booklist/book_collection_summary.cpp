#include "booklist/book_collection_summary.h"

#include <algorithm>
#include <limits>
#include <vector>

BookCollectionSummary BookCollectionSummary::of(const QVector<BookRow> &rows)
{
    BookCollectionSummary summary;
    summary.m_keys.resize(rows.size());
    summary.m_bytes.resize(rows.size());
    summary.m_booksWithKey.append(0);
    // Books put into a collection share its name's text, so the address of a text mostly
    // tells its key without hashing the characters. The texts all live while the pass runs,
    // so an address seen stands for one text throughout.
    struct Seen
    {
        const QChar *text = nullptr;
        qsizetype size = 0;
        quint32 key = NoCollection;
    };
    constexpr int SeenBits = 12;
    std::vector<Seen> seen(std::size_t(1) << SeenBits);
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QString &collection = rows[row].collection;
        if (collection.isEmpty())
            continue;
        const QChar *text = collection.constData();
        Seen &slot = seen[std::size_t((quint64(quintptr(text)) * 0x9E3779B97F4A7C15ull) >> (64 - SeenBits))];
        if (slot.text != text || slot.size != collection.size())
            slot = {text, collection.size(), summary.keyOf(collection)};
        summary.m_keys[row] = slot.key;
        summary.m_bytes[row] = rows[row].file_size.bytes();
        summary.count(int(row), 1);
    }
    return summary;
}

BookCollectionSummary BookCollectionSummary::ofKnownKeys(QVector<quint32> keys, QVector<qint64> bytes,
                                                         const QVector<QString> &names)
{
    BookCollectionSummary summary;
    summary.m_keys = std::move(keys);
    summary.m_bytes = std::move(bytes);
    summary.m_booksWithKey.resize(names.size() + 1);
    summary.m_unindexedNames = names;
    for (qsizetype row = 0; row < summary.m_keys.size(); ++row)
        summary.count(int(row), 1);
    return summary;
}

void BookCollectionSummary::refreshRow(int row, const BookRow &book)
{
    count(row, -1);
    // The rows of a drop mostly take one collection, whose text they share; the summary holds
    // on to that text, so its address cannot come to stand for another.
    if (book.collection.isEmpty()) {
        m_keys[row] = NoCollection;
    } else {
        if (book.collection.constData() != m_lastRefreshed.constData() ||
            book.collection.size() != m_lastRefreshed.size()) {
            m_lastRefreshed = book.collection;
            m_lastRefreshedKey = keyOf(book.collection);
        }
        m_keys[row] = m_lastRefreshedKey;
    }
    m_bytes[row] = book.file_size.bytes();
    count(row, 1);
}

quint32 BookCollectionSummary::knownKeyOf(const QString &collection) const
{
    if (m_unindexedNames.isEmpty())
        return m_keyOfCollection.value(collection, NoCollection);
    const auto found = std::find(m_unindexedNames.cbegin(), m_unindexedNames.cend(), collection);
    return found == m_unindexedNames.cend() ? NoCollection : quint32(found - m_unindexedNames.cbegin() + 1);
}

quint32 BookCollectionSummary::keyOf(const QString &collection)
{
    if (!m_unindexedNames.isEmpty()) {
        m_keyOfCollection.reserve(m_unindexedNames.size());
        for (qsizetype name = 0; name < m_unindexedNames.size(); ++name)
            if (!m_unindexedNames[name].isEmpty())
                m_keyOfCollection.insert(m_unindexedNames[name], quint32(name + 1));
        m_unindexedNames.clear();
    }
    const auto found = m_keyOfCollection.constFind(collection);
    if (found != m_keyOfCollection.cend())
        return *found;
    const auto key = quint32(m_booksWithKey.size());
    m_keyOfCollection.insert(collection, key);
    m_booksWithKey.append(0);
    return key;
}

void BookCollectionSummary::count(int row, int direction)
{
    const quint32 key = m_keys[row];
    if (key == NoCollection)
        return;
    m_booksWithKey[key] += direction;
    m_booksInCollections += direction;
    const auto bytes = quint64(m_bytes[row]);
    if (direction > 0) {
        m_bytesLow += bytes;
        m_bytesHigh += m_bytesLow < bytes ? 1 : 0;
    } else {
        m_bytesHigh -= m_bytesLow < bytes ? 1 : 0;
        m_bytesLow -= bytes;
    }
}

qint64 BookCollectionSummary::bytesInCollections() const
{
    constexpr auto Largest = std::numeric_limits<qint64>::max();
    return m_bytesHigh > 0 || m_bytesLow > quint64(Largest) ? Largest : qint64(m_bytesLow);
}

QVector<int> BookCollectionSummary::rowsOf(const QString &name) const
{
    QVector<int> rows;
    const quint32 key = name.isEmpty() ? NoCollection : knownKeyOf(name);
    if (key == NoCollection)
        return rows;
    rows.reserve(m_booksWithKey.at(key));
    const quint32 *keys = m_keys.constData();
    for (qsizetype row = 0; row < m_keys.size(); ++row)
        if (keys[row] == key)
            rows.append(int(row));
    return rows;
}
