#include "reader/sync_journal.h"

#include "core/file_operations.h"
#include "reader/folder_clearing.h"
#include "reader/reader_layout.h"
#include "reader/thumbnail_folders.h"
#include "sqlite/sqlite_connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QByteArray Heading("tessaly-sync-journal 1");
const QByteArray End("end");
const QLatin1String JournalFile("Sony_Reader/database/tessaly-sync.journal");

// What a copy killed half-way leaves beside its destination (see copyFileOver).
const QStringList PartialCopies{QStringLiteral(".tessaly-copy-*"), QStringLiteral("tes*.tmp")};

QByteArray line(const QByteArray &key, const QString &value, const QString &second = {})
{
    QByteArray text = key + '\t' + value.toUtf8();
    if (!second.isNull())
        text += '\t' + second.toUtf8();
    return text + '\n';
}

void removePartialCopies(FileOperations &files, const QString &folder)
{
    for (const QFileInfo &partial : QDir(folder).entryInfoList(PartialCopies, QDir::Files | QDir::Hidden))
        files.removeFile(partial.absoluteFilePath());
}

// Removes a file no record lists; true when it is gone.
bool removeUnlisted(FileOperations &files, const QString &deviceRoot, const QString &storedPath,
                    const ListedLibrary &listed)
{
    const QString file = ReaderLayout::onDevice(deviceRoot, storedPath);
    removePartialCopies(files, QFileInfo(file).absolutePath());
    if (listed.lists(storedPath) || !QFileInfo::exists(file))
        return true;
    return files.removeFile(file);
}

} // namespace

QByteArray SyncJournal::toBytes() const
{
    QByteArray bytes = Heading + '\n';
    for (const qint64 id : newBooks)
        bytes += line("new", QString::number(id));
    for (const qint64 id : goneBooks)
        bytes += line("gone", QString::number(id));
    for (const QString &file : written)
        bytes += line("written", file);
    for (const auto &[from, to] : renames)
        bytes += line("rename", from, to);
    for (const QString &file : kept)
        bytes += line("kept", file);
    if (clearsBooksFolder)
        bytes += "clear-books\n";
    return bytes + End + '\n';
}

std::optional<SyncJournal> SyncJournal::fromBytes(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 3 || lines.first() != Heading || lines.at(lines.size() - 2) != End || !lines.last().isEmpty())
        return std::nullopt;
    SyncJournal journal;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines.at(i).split('\t');
        const QByteArray &key = fields.first();
        const QString value = fields.size() > 1 ? QString::fromUtf8(fields.at(1)) : QString();
        if (key == "new")
            journal.newBooks << value.toLongLong();
        else if (key == "gone")
            journal.goneBooks << value.toLongLong();
        else if (key == "written")
            journal.written << value;
        else if (key == "rename" && fields.size() == 3)
            journal.renames.append({value, QString::fromUtf8(fields.at(2))});
        else if (key == "kept")
            journal.kept << value;
        else if (key == "clear-books")
            journal.clearsBooksFolder = true;
        else
            return std::nullopt;
    }
    return journal;
}

ListedLibrary ListedLibrary::read(SqliteConnection &database, bool withPaths,
                                  const std::function<void(const SqliteRow &)> &each)
{
    ListedLibrary listed;
    database.forEachRow(QStringLiteral("select _id, file_path, thumbnail from books"), [&](const SqliteRow &row) {
        listed.ids.push_back(row.integer(0));
        if (withPaths)
            listed.paths.insert(row.text(1).toCaseFolded());
        if (each)
            each(row);
    });
    std::sort(listed.ids.begin(), listed.ids.end());
    return listed;
}

namespace SyncJournalFile {

QString path(const QString &deviceRoot)
{
    return ReaderLayout::onDevice(deviceRoot, JournalFile);
}

bool exists(const QString &deviceRoot)
{
    return QFileInfo::exists(path(deviceRoot));
}

bool write(const QString &deviceRoot, FileOperations &files, const SyncJournal &journal)
{
    if (!files.writeFile(path(deviceRoot), journal.toBytes()))
        return false;
    files.flush(deviceRoot);
    return true;
}

bool remove(const QString &deviceRoot, FileOperations &files)
{
    const bool removed = !exists(deviceRoot) || files.removeFile(path(deviceRoot));
    files.flush(deviceRoot);
    return removed;
}

} // namespace SyncJournalFile

bool isCommitted(const SyncJournal &journal, const ListedLibrary &listed)
{
    // Ids are never given twice: one added record listed means the commit happened.
    for (const qint64 id : journal.newBooks)
        if (listed.listsId(id))
            return true;
    if (!journal.newBooks.isEmpty())
        return false;
    for (const qint64 id : journal.goneBooks)
        if (listed.listsId(id))
            return false;
    return true;
}

bool completeSync(const QString &deviceRoot, FileOperations &files, const SyncJournal &journal,
                  const ListedLibrary &listed, const ThumbnailFolders &folders, const std::function<void()> &turn)
{
    bool placed = true;
    QSet<QString> waiting; // files still under their own names: they must not be cleared away
    for (const auto &[from, to] : journal.renames) {
        const QString file = ReaderLayout::onDevice(deviceRoot, from);
        if (QFileInfo::exists(file) && !files.move(file, ReaderLayout::onDevice(deviceRoot, to))) {
            placed = false;
            waiting.insert(QDir::cleanPath(file));
        }
    }
    // Thumbnail folders of records no longer listed, any other entry there, and what a run left
    // half-made beside them; the folders that stay are not entered.
    const QString thumbnails = ReaderLayout::thumbnailsFolderPath(deviceRoot);
    for (const qint64 id : folders.ids())
        if (!listed.listsId(id))
            removeEntryTree(thumbnails + QString::number(id), files, turn);
    for (const QString &other : folders.others())
        removeEntryTree(thumbnails + other, files, turn);
    removeEntryTree(QDir::cleanPath(ReaderLayout::stagedThumbnailsFolderPath(deviceRoot)), files, turn);
    if (journal.clearsBooksFolder) {
        QSet<QString> kept;
        for (const QString &file : journal.kept)
            kept.insert(file.toCaseFolded());
        clearFolderTree(ReaderLayout::booksFolderPath(deviceRoot), files, turn, [&](const QFileInfo &entry) {
            if (entry.isDir() && !entry.isSymLink())
                return false;
            const QString stored = ReaderLayout::storedPathOf(deviceRoot, entry.absoluteFilePath());
            return listed.lists(stored) || kept.contains(stored.toCaseFolded()) ||
                   waiting.contains(QDir::cleanPath(entry.absoluteFilePath()));
        });
    }
    return placed;
}

bool undoSync(const QString &deviceRoot, FileOperations &files, const SyncJournal &journal, const ListedLibrary &listed)
{
    bool undone = true;
    for (const QString &file : journal.written)
        undone = removeUnlisted(files, deviceRoot, file, listed) && undone;
    for (const auto &[from, to] : journal.renames)
        undone = removeUnlisted(files, deviceRoot, from, listed) && undone;
    undone = removeEntryTree(QDir::cleanPath(ReaderLayout::stagedThumbnailsFolderPath(deviceRoot)), files) && undone;
    // No record of the old library points at an added record's folder.
    for (const qint64 id : journal.newBooks)
        if (!listed.listsId(id))
            undone =
                removeEntryTree(ReaderLayout::thumbnailsFolderPath(deviceRoot) + QString::number(id), files) && undone;
    return undone;
}

bool recoverInterruptedSync(const QString &deviceRoot, FileOperations &files, SqliteConnection &database,
                            const std::function<void()> &turn)
{
    if (!SyncJournalFile::exists(deviceRoot))
        return true;
    QFile file(SyncJournalFile::path(deviceRoot));
    const std::optional<SyncJournal> journal =
        file.open(QIODevice::ReadOnly) ? SyncJournal::fromBytes(file.readAll()) : std::nullopt;
    file.close();
    if (journal) {
        const ListedLibrary listed = ListedLibrary::read(database);
        const bool done = isCommitted(*journal, listed) ? completeSync(deviceRoot, files, *journal, listed,
                                                                       ThumbnailFolders::read(deviceRoot), turn)
                                                        : undoSync(deviceRoot, files, *journal, listed);
        if (!done)
            return false;
    }
    return SyncJournalFile::remove(deviceRoot, files);
}

QString interruptedSyncNotRepairedMessage()
{
    return QStringLiteral("Предыдущая синхронизация была прервана, и её не удалось завершить:\r\n"
                          "файлы на устройстве недоступны для изменения.\r\n"
                          "Проверьте подключение устройства и повторите синхронизацию.");
}
