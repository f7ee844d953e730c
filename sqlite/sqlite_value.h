#pragma once

#include <QByteArray>
#include <QtGlobal>

// One value as SQLite stores it: its storage class and its content, a text as its exact
// UTF-8 bytes. Two values are equal only when SQLite holds the same.
class SqliteValue
{
public:
    enum class Type : quint8 { Null, Integer, Float, Text, Blob };

    SqliteValue() = default;
    static SqliteValue integer(qint64 value);
    static SqliteValue real(double value);
    static SqliteValue text(QByteArray utf8);
    static SqliteValue blob(QByteArray bytes);

    Type type() const { return m_type; }
    qint64 toInteger() const { return m_integer; }
    double toReal() const { return m_real; }
    // The bytes of a text or a blob; empty for the other types.
    const QByteArray &bytes() const { return m_bytes; }

    bool operator==(const SqliteValue &) const = default;

private:
    Type m_type = Type::Null;
    qint64 m_integer = 0;
    double m_real = 0;
    QByteArray m_bytes;
};
