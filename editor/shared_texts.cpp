#include "editor/shared_texts.h"

#include "sqlite/sqlite_connection.h"

QString SharedTexts::text(const SqliteRow &row, int column)
{
    const std::optional<QByteArrayView> bytes = row.storedText(column);
    if (!bytes)
        return row.text(column);
    const std::string_view key(bytes->data(), std::size_t(bytes->size()));
    if (m_last && key == m_last->first)
        return m_last->second;
    auto known = m_texts.find(key);
    if (known == m_texts.end())
        known = m_texts.emplace(std::string(key), row.text(column)).first;
    // The map's entries stay where they are while it grows.
    m_last = &*known;
    return m_last->second;
}
