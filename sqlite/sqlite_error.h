#pragma once

#include "core/tessaly_error.h"

// A failure reported by SQLite: the connection's text, and SQLite's primary result code, so that
// a caller can tell the user in plain words what went wrong (a busy, read-only or damaged file).
class SqliteError : public TessalyError
{
public:
    SqliteError(const QString &message, int code) : TessalyError(message), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};
