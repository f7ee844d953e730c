#include "reader/loaded_library.h"

#include "sqlite/sqlite_connection.h"

#include <QSet>

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

LoadedBookPaths LoadedBookPaths::read(SqliteConnection &database)
{
    LoadedBookPaths books;
    QSet<QString> ids;
    database.forEachRow(QStringLiteral("select _id, file_path from books"), [&](const SqliteRow &row) {
        books.add(row, 0, 1);
        const qsizetype before = ids.size();
        ids.insert(row.text(0));
        if (ids.size() == before)
            books.markRepeatedIds();
    });
    return books;
}

bool LoadedLibrary::holdsSameBooks(SqliteConnection &reader) const
{
    // Books told apart only by position cannot be matched to the page's rows again.
    const LoadedBookPaths now = LoadedBookPaths::read(reader);
    return books.uniqueIds() && now.uniqueIds() && books == now;
}
