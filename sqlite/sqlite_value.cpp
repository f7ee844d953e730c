#include "sqlite/sqlite_value.h"

SqliteValue SqliteValue::integer(qint64 value)
{
    SqliteValue result;
    result.m_type = Type::Integer;
    result.m_integer = value;
    return result;
}

SqliteValue SqliteValue::real(double value)
{
    SqliteValue result;
    result.m_type = Type::Float;
    result.m_real = value;
    return result;
}

SqliteValue SqliteValue::text(QByteArray utf8)
{
    SqliteValue result;
    result.m_type = Type::Text;
    result.m_bytes = std::move(utf8);
    return result;
}

SqliteValue SqliteValue::blob(QByteArray bytes)
{
    SqliteValue result;
    result.m_type = Type::Blob;
    result.m_bytes = std::move(bytes);
    return result;
}
