#include "reader/reader_database.h"

#include "reader/reader_layout.h"
#include "sqlite/sqlite_error.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace {
// Long enough for another program to finish a write, short enough not to look hung.
constexpr int BusyTimeoutMs = 2000;

QString unchanged()
{
    return QStringLiteral("\r\nНа устройстве ничего не изменено.");
}

} // namespace

QString readerDatabaseMessage(int code, const QString &path, const QString &detail)
{
    const QString file = QStringLiteral(":\r\n") + QDir::toNativeSeparators(path);
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("База данных устройства занята другой программой") + file +
               QStringLiteral("\r\nЗакройте программы, работающие с устройством, и повторите синхронизацию.") +
               unchanged();
    case SQLITE_READONLY:
        return QStringLiteral("База данных устройства доступна только для чтения") + file + unchanged();
    case SQLITE_FULL:
        return QStringLiteral("На устройстве нет места для записи в базу данных") + file + unchanged();
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return QStringLiteral("База данных устройства повреждена") + file + unchanged();
    default:
        return QStringLiteral("Не удалось открыть базу данных устройства") + file + QStringLiteral("\r\n") + detail +
               unchanged();
    }
}

namespace {
[[noreturn]] void refuse(int code, const QString &path, const QString &detail = {})
{
    throw TessalyError(readerDatabaseMessage(code, path, detail));
}
} // namespace

ReaderDatabase::ReaderDatabase(const QString &deviceRoot, std::optional<quint64> soundDigest)
    : m_path(ReaderLayout::databasePath(deviceRoot))
{
    try {
        openChecked(m_path, soundDigest);
    } catch (const SqliteError &error) {
        m_database.close();
        refuse(error.code(), m_path, error.message());
    }
}

void ReaderDatabase::openChecked(const QString &path, std::optional<quint64> soundDigest)
{
    // A folder of that name marks a reader too, but holds no library.
    if (!QFileInfo(path).isFile())
        refuse(SQLITE_CANTOPEN, path, QStringLiteral("Это не файл."));
    m_database.open(path, {.mode = SqliteConnection::OpenMode::ReadWrite, .busyTimeoutMs = BusyTimeoutMs});
    if (m_database.isReadOnly())
        refuse(SQLITE_READONLY, path);
    // The reader's own SQLite reads only the default rollback journal, and a journal deleted on
    // the final commit leaves no -journal file behind. Exclusive locking keeps the write lock from
    // the first commit to the close, so no other program writes between the steps of a run.
    m_database.query(QStringLiteral("PRAGMA journal_mode=DELETE"));
    m_database.query(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    m_database.beginTransaction(SqliteConnection::TransactionLock::Immediate);
    // A rebuild over a damaged file would report success and leave it damaged. Locked, and rolled
    // back from another program's hot journal if it had one, the file is checked by a reader of its
    // own beside this one's reads.
    m_check.emplace(path, soundDigest);
    if (!m_database.tableExists(QStringLiteral("books")))
        throw TessalyError(QStringLiteral("В базе данных устройства нет библиотеки книг:\r\n") +
                           QDir::toNativeSeparators(path) + unchanged());
}

void ReaderDatabase::readBooks()
{
    try {
        readPreviousBooks();
    } catch (const SqliteError &error) {
        refuse(error.code(), m_path, error.message());
    }
}

void ReaderDatabase::requireSound()
{
    std::optional<bool> sound = m_check->sound();
    try {
        // Where the check could not run beside, this connection runs it.
        if (!sound)
            sound = passesQuickCheck(m_database);
    } catch (const SqliteError &error) {
        refuse(error.code(), m_path, error.message());
    }
    if (!*sound)
        refuse(SQLITE_CORRUPT, m_path);
}

void ReaderDatabase::readPreviousBooks()
{
    LoadedBookPathsReader paths;
    m_database.forEachRow(QStringLiteral("select _id, file_path, thumbnail from books"), [&](const SqliteRow &row) {
        m_previousBooks.append({row.integer(0), row.storedUtf8(1), row.storedUtf8(2)});
        paths.add(row, 0, 1);
    });
    m_bookPaths = paths.take();
}
