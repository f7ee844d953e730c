#include "editor/reader_database_image.h"

#include "core/file_operations.h"
#include "core/tessaly_error.h"
#include "reader/reader_database.h"
#include "reader/reader_layout.h"
#include "reader/sync_journal.h"

#include <QDir>
#include <QFileInfo>

DatabaseImage imageOfReaderDatabase(const QString &deviceRoot)
{
    const QString path = ReaderLayout::databasePath(deviceRoot);
    if (SyncJournalFile::exists(deviceRoot)) {
        ReaderDatabase database(deviceRoot);
        FileOperations files;
        if (!recoverInterruptedSync(deviceRoot, files, database.connection()))
            throw TessalyError(interruptedSyncNotRepairedMessage());
    }
    if (!QFileInfo(path).isFile())
        throw TessalyError(readerDatabaseMessage(0, path, QStringLiteral("Это не файл.")));
    SqliteConnection reader;
    // Opened for writing where it can be, so that SQLite may settle what was left unfinished.
    reader.open(path, SqliteConnection::OpenMode::ReadWrite);
    if (!reader.isReadOnly()) {
        const QueryResult mode = reader.query(QStringLiteral("PRAGMA journal_mode"));
        if (mode.rowCount() == 1 && mode.fieldAsText(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0)
            reader.query(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    if (!reader.tableExists(QStringLiteral("books")))
        throw TessalyError(QStringLiteral("В базе данных устройства нет библиотеки книг:\r\n") +
                           QDir::toNativeSeparators(path));
    return reader.image();
}
