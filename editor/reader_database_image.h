#pragma once

#include "sqlite/sqlite_connection.h"

#include <QString>

// The reader's books.db at `deviceRoot` as one consistent image, read once. What another program
// left unfinished is settled first: a synchronisation that stopped half-way is finished or undone
// from its journal, a hot journal is rolled back, and a database in WAL mode is checkpointed into
// its file and returned to the rollback journal the reader's firmware reads, so no -wal or -shm
// file stays. A file that is read-only is read as it is. Throws SqliteError, or TessalyError with
// the user's message.
DatabaseImage imageOfReaderDatabase(const QString &deviceRoot);
