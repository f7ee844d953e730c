#include "support/sqlite_test_tools.h"

#include <sqlite3.h>

ExclusiveLock::ExclusiveLock(const QString &path)
{
    sqlite3_open(path.toUtf8().constData(), &m_database);
    m_locked = sqlite3_exec(m_database, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

ExclusiveLock::~ExclusiveLock()
{
    sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_database);
}
