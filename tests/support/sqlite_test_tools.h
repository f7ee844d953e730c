#pragma once

#include "core/tessaly_error.h"

#include <QString>

struct sqlite3;

// The text of the TessalyError that `work` throws, or "(no error)".
template <typename Work> QString errorOf(Work work)
{
    try {
        work();
    } catch (const TessalyError &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

// A second connection that holds the whole database file locked until destroyed.
class ExclusiveLock
{
public:
    explicit ExclusiveLock(const QString &path);
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock &) = delete;
    ExclusiveLock &operator=(const ExclusiveLock &) = delete;
    bool locked() const { return m_locked; }

private:
    sqlite3 *m_database = nullptr;
    bool m_locked = false;
};
