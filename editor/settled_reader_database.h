#pragma once

#include <QString>

class SqliteConnection;

// Opens `reader` on the reader's books.db at `deviceRoot` once what another program left
// unfinished is settled: a synchronisation that stopped half-way is finished or undone from its
// journal, a hot journal is rolled back, and a database in WAL mode is checkpointed into its file
// and returned to the rollback journal the reader's firmware reads, so no -wal or -shm file stays.
// A file that is read-only is opened as it is. Throws SqliteError, or TessalyError with the
// user's message.
void openSettledReaderDatabase(const QString &deviceRoot, SqliteConnection &reader);
