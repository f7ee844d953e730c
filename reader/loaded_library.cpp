#include "reader/loaded_library.h"

#include "reader/library_rebuild.h"
#include "sqlite/sqlite_connection.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace {
constexpr size_t Seed = 0x5eed0fb00c5ull;

// A cell's hash with its storage class: 1 and '1' are different values.
size_t hashOf(const SqliteRow &row, int column, size_t seed)
{
    const SqliteValue::Type type = row.storedType(column);
    seed ^= size_t(type) * 0x9E3779B97F4A7C15ull;
    switch (type) {
    case SqliteValue::Type::Integer:
        return qHash(row.integer(column), seed);
    case SqliteValue::Type::Float:
        return qHash(row.real(column), seed);
    case SqliteValue::Type::Null:
        return seed;
    case SqliteValue::Type::Text:
    case SqliteValue::Type::Blob:
        break;
    }
    return qHash(row.bytes(column), seed);
}
} // namespace

void LoadedBookPaths::add(const SqliteRow &row, int id, int path)
{
    ++m_count;
    // The path's hash is seeded with its id's, which ties the two together; sums do not depend
    // on the order the records come in, and the second sum is not linear in the first.
    const quint64 pair = hashOf(row, path, hashOf(row, id, Seed));
    m_sum += pair;
    m_mixed += pair * (pair | 1);
}

void LoadedBookPathsReader::add(const SqliteRow &row, int id, int path)
{
    m_paths.add(row, id, path);
    if (row.storedType(id) == SqliteValue::Type::Integer)
        m_integerIds.push_back(row.integer(id));
    else
        m_otherIds << row.text(id);
}

LoadedBookPaths LoadedBookPathsReader::take()
{
    bool repeated = false;
    if (m_otherIds.isEmpty()) {
        // Integers repeat exactly where their texts do.
        std::sort(m_integerIds.begin(), m_integerIds.end());
        repeated = std::adjacent_find(m_integerIds.cbegin(), m_integerIds.cend()) != m_integerIds.cend();
    } else {
        QSet<QString> texts(m_otherIds.cbegin(), m_otherIds.cend());
        for (const qint64 id : m_integerIds)
            texts.insert(QString::number(id));
        repeated = texts.size() != qsizetype(m_integerIds.size()) + m_otherIds.size();
    }
    if (repeated)
        m_paths.markRepeatedIds();
    return std::exchange(m_paths, {});
}

LoadedBookPaths LoadedBookPathsReader::read(SqliteConnection &database)
{
    LoadedBookPathsReader books;
    database.forEachRow(QStringLiteral("select _id, file_path from books"),
                        [&](const SqliteRow &row) { books.add(row, 0, 1); });
    return books.take();
}

bool LoadedLibrary::holdsSameBooks(const LoadedBookPaths &now) const
{
    // Books told apart only by position cannot be matched to the page's rows again.
    return books.uniqueIds() && now.uniqueIds() && books == now;
}

void LoadedLibrary::noteShownFields(const QVector<BookRow> &rows)
{
    shownFields.clear();
    shownFields.reserve(rows.size());
    for (const BookRow &book : rows) {
        bool isNumber = false;
        const qint64 id = book.record_id.toLongLong(&isNumber);
        if (isNumber)
            shownFields.emplace_back(id, shownFieldsDigest(book));
    }
    // The reader's table returns its books by `_id`, mostly.
    if (!std::is_sorted(shownFields.cbegin(), shownFields.cend()))
        std::sort(shownFields.begin(), shownFields.end());
}

QVector<bool> LoadedLibrary::rowsShowingLoaded(const QVector<BookRow> &rows) const
{
    QVector<bool> showing(rows.size(), false);
    for (qsizetype row = 0; row < rows.size(); ++row) {
        bool isNumber = false;
        const qint64 id = rows.at(row).record_id.toLongLong(&isNumber);
        if (!isNumber)
            continue;
        // Rows not sorted since the load are in the records' order.
        auto loaded = shownFields.cbegin() + std::min(row, qsizetype(shownFields.size()));
        if (loaded == shownFields.cend() || loaded->first != id)
            loaded = std::lower_bound(shownFields.cbegin(), shownFields.cend(), std::pair(id, quint64(0)));
        showing[row] =
            loaded != shownFields.cend() && loaded->first == id && loaded->second == shownFieldsDigest(rows.at(row));
    }
    return showing;
}
