#include "editor/shared_texts.h"

#include "device/sqlite_connection.h"

QString SharedTexts::text(const SqliteRow &row, int column)
{
    if (row.storedType(column) != SqliteValue::Type::Text)
        return row.text(column);
    const QByteArrayView bytes = row.bytes(column);
    const std::string_view key(bytes.data(), std::size_t(bytes.size()));
    const auto known = m_texts.find(key);
    if (known != m_texts.end())
        return known->second;
    return m_texts.emplace(std::string(key), row.text(column)).first->second;
}
