#include "sync/reader_sync.h"

#include "core/file_operations.h"
#include "core/progress.h"
#include "covers/cover_thumbnail.h"
#include "reader/folder_clearing.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_error.h"
#include "sync/books_kept_aside.h"
#include "sync/page_rebuild.h"

#include <QDir>

#include <sqlite3.h>

void syncPhase(Progress &progress, int position, const QString &caption)
{
    // During a synchronisation only the caption label repaints.
    ProgressSteps::phase(progress, position, caption, Progress::Repaint::MainCaption);
}

ReaderSync::ReaderSync(const QString &deviceRoot, FileOperations &files, Progress &progress)
    : m_deviceRoot(deviceRoot), m_files(files), m_progress(progress), m_thumbnails(deviceRoot, files)
{}

ReaderSync::~ReaderSync()
{
    abandon();
}

std::function<void()> ReaderSync::turn()
{
    return [this] { m_progress.processEvents(); };
}

void ReaderSync::open()
{
    m_database = std::make_unique<ReaderDatabase>(m_deviceRoot);
    m_thumbnails.clearLeftovers();
    m_foldersLeftAside = BooksKeptAside::recover(
        m_deviceRoot, m_files, [this](const QByteArray &storedPath) { return m_database->lists(storedPath); });
}

void ReaderSync::withdraw(const QSet<qint64> &recordsStaying)
{
    m_database->withdrawAllBut(recordsStaying);
    // Only once the database without them is on the medium may their files go.
    m_files.flush(m_deviceRoot);
}

void ReaderSync::keepEveryBook()
{
    // The checking transaction ends; exclusive locking keeps the lock it took.
    m_database->connection().commit();
}

KeepEntry ReaderSync::keepsThumbnails(const QSet<qint64> &thumbnailsTakenOver) const
{
    const QString folder =
        QDir::cleanPath(QFileInfo(ReaderLayout::thumbnailsFolderPath(m_deviceRoot)).absoluteFilePath());
    return [folder, &thumbnailsTakenOver](const QFileInfo &entry) {
        bool isNumber = false;
        const qint64 record = entry.fileName().toLongLong(&isNumber);
        return isNumber && entry.isDir() && entry.absolutePath() == folder && thumbnailsTakenOver.contains(record);
    };
}

void ReaderSync::clearThumbnails(const QSet<qint64> &thumbnailsTakenOver)
{
    clearFolderTree(ReaderLayout::thumbnailsFolderPath(m_deviceRoot), m_files, turn(),
                    keepsThumbnails(thumbnailsTakenOver));
}

qint64 ReaderSync::bytesFreedInThumbnails(const QSet<qint64> &thumbnailsTakenOver) const
{
    return bytesFreedByClearing(ReaderLayout::thumbnailsFolderPath(m_deviceRoot), keepsThumbnails(thumbnailsTakenOver));
}

void ReaderSync::rebuild(BookTable &books, CollectionTable &collections, const QVector<ThumbnailOrigin> &thumbnails,
                         const QHash<QByteArray, QByteArray> &movedPaths, const WriteBack *writeBack)
{
    RebuildHooks hooks;
    hooks.beforeStep = [&](RebuildStep next) {
        switch (next) {
        case RebuildStep::CreateBooksTable:
            break;
        case RebuildStep::InsertBooks:
            syncPhase(m_progress, 70, QStringLiteral("Заношу информацию о книгах в базу..."));
            break;
        case RebuildStep::Thumbnails:
            syncPhase(m_progress, 80, QStringLiteral("Создаю превью на устройстве..."));
            ProgressSteps::beginItems(m_progress, int(thumbnails.size()), false);
            break;
        case RebuildStep::Collections:
            ProgressSteps::clearItems(m_progress);
            m_progress.repaint(Progress::Repaint::ItemCaption);
            m_progress.processEvents();
            syncPhase(m_progress, 85, QStringLiteral("Формирую список коллекций..."));
            break;
        case RebuildStep::Finish:
            syncPhase(m_progress, 90, QStringLiteral("Завершаю подготовку базы.."));
            break;
        case RebuildStep::Commit:
            // The books and thumbnails the new records name reach the medium before the records do.
            m_files.flush(m_deviceRoot);
            break;
        }
    };
    hooks.writeThumbnail = [&](const ThumbnailJob &job) {
        ProgressSteps::item(m_progress, QStringLiteral("Превью №"), job.number, job.count);
        writeThumbnail(job.recordId, thumbnails.at(job.number - 1));
    };
    hooks.formerBookNowAt = [&](const QByteArray &formerPath) { return movedPaths.value(formerPath); };
    try {
        rebuildLibrary(m_database->connection(), m_deviceRoot, books, collections, hooks, writeBack);
    } catch (const SqliteError &error) {
        if (error.code() != SQLITE_FULL)
            throw;
        throw TessalyError(QStringLiteral("На устройстве закончилось место, синхронизация не завершена.\r\n"
                                          "Освободите место на устройстве и повторите синхронизацию."));
    }
}

void ReaderSync::writeThumbnail(const QString &recordId, const ThumbnailOrigin &origin)
{
    if (origin.previousRecord != 0 && m_thumbnails.adopt(origin.previousRecord, recordId))
        return;
    const QString folder = m_thumbnails.folderFor(recordId);
    // A folder that cannot be made shows as the thumbnail's own write error.
    m_files.makeFolder(folder);
    writeCoverThumbnail(origin.bookFile, folder, m_files);
}

void ReaderSync::finish()
{
    m_thumbnails.install(turn());
    // Closing gives up the lock and deletes the journal.
    m_database.reset();
    m_files.flush(m_deviceRoot);
}

void ReaderSync::abandon()
{
    // Without the lock the staged thumbnails may be another run's.
    if (!m_database)
        return;
    m_database->connection().rollback();
    m_thumbnails.abandon();
    m_database.reset();
}
