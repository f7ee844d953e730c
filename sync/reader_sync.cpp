#include "sync/reader_sync.h"

#include "booklist/book_table.h"
#include "core/file_operations.h"
#include "core/progress.h"
#include "core/tessaly_error.h"
#include "covers/cover_thumbnail.h"
#include "reader/folder_clearing.h"
#include "reader/library_rebuild.h"
#include "reader/reader_layout.h"
#include "reader/thumbnail_folders.h"
#include "sqlite/sqlite_error.h"
#include "sync/page_rebuild.h"
#include "sync/sync_messages.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>

namespace {
constexpr int KeptThumbnailsPerStep = 256;
} // namespace

void syncPhase(Progress &progress, int position, const QString &caption)
{
    // During a synchronisation only the caption label repaints.
    ProgressSteps::phase(progress, position, caption, Progress::Repaint::MainCaption);
}

ReaderSync::ReaderSync(const QString &deviceRoot, FileOperations &files, Progress &progress, const BookFormats &formats)
    : m_deviceRoot(deviceRoot), m_files(files), m_progress(progress), m_formats(formats)
{}

ReaderSync::~ReaderSync()
{
    abandon();
}

std::function<void()> ReaderSync::turn()
{
    return [this] { m_progress.processEvents(); };
}

void ReaderSync::open(std::optional<quint64> soundDigest)
{
    m_database = std::make_unique<ReaderDatabase>(m_deviceRoot, soundDigest);
    bool recovered = false;
    try {
        // Finishing or undoing a stopped run changes the reader: only on a sound library.
        if (SyncJournalFile::exists(m_deviceRoot))
            requireSound();
        recovered = recoverInterruptedSync(m_deviceRoot, m_files, database(), turn());
    } catch (const SqliteError &error) {
        m_database.reset();
        throw TessalyError(
            readerDatabaseMessage(error.code(), ReaderLayout::databasePath(m_deviceRoot), error.message()));
    }
    if (!recovered) {
        m_database.reset();
        throw TessalyError(interruptedSyncNotRepairedMessage());
    }
}

void ReaderSync::readBooks()
{
    // Nothing changes the folder from here until the rebuild: it is listed beside the read.
    m_listing = std::async(std::launch::async, ThumbnailFolders::read, m_deviceRoot);
    try {
        m_database->readBooks();
    } catch (const TessalyError &) {
        m_database.reset();
        throw;
    }
}

const ThumbnailFolders &ReaderSync::thumbnailFolders() const
{
    if (!m_thumbnailFolders)
        m_thumbnailFolders = m_listing.valid() ? m_listing.get() : ThumbnailFolders::read(m_deviceRoot);
    return *m_thumbnailFolders;
}

qint64 ReaderSync::nextBookId()
{
    return ::nextBookId(database());
}

void ReaderSync::begin(const SyncJournal &journal)
{
    requireSound();
    if (!SyncJournalFile::write(m_deviceRoot, m_files, journal))
        throw TessalyError(SyncMessages::journalNotWritten());
    m_journal = journal;
}

void ReaderSync::rebuild(BookTable &books, CollectionTable &collections, const QVector<ThumbnailOrigin> &thumbnails,
                         const QHash<QByteArray, QByteArray> &movedPaths, const WriteBack *writeBack,
                         const std::function<void()> &completePlan)
{
    RebuildHooks hooks;
    hooks.beforeStep = [&](RebuildStep next) {
        switch (next) {
        case RebuildStep::InsertBooks:
            syncPhase(m_progress, 70, QStringLiteral("Заношу информацию о книгах в базу..."));
            break;
        case RebuildStep::Thumbnails:
            if (completePlan)
                completePlan();
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
            // Held exclusively, the rollback journal would outlast the commit; the run's journal
            // guards what follows it.
            database().query(QStringLiteral("PRAGMA locking_mode=NORMAL"));
            break;
        }
    };
    m_thumbnailsInPlace.assign(books.rowCount(), false);
    hooks.writeThumbnail = [&](const ThumbnailJob &job) {
        const qint64 id = job.recordId.toLongLong();
        const bool kept = !job.addedRecord && keepsThumbnail(id, job.recordId, job.thumbnailPath);
        // Kept thumbnails take no time to speak of: their count shows now and then.
        if (!kept || job.number % KeptThumbnailsPerStep == 0 || job.number == job.count)
            ProgressSteps::item(m_progress, QStringLiteral("Превью №"), job.number, job.count);
        if (kept) {
            // In the record's own folder, which nothing after the commit removes, what was found
            // needs no second look.
            if (ReaderLayout::isStoredThumbnailPathOf(job.thumbnailPath, job.recordId))
                m_thumbnailsInPlace[job.number - 1] = true;
            return ThumbnailOutcome::Kept;
        }
        const ThumbnailOutcome outcome = writeThumbnail(job, thumbnails.at(job.number - 1));
        if (outcome == ThumbnailOutcome::Written)
            m_thumbnailsInPlace[job.number - 1] = true;
        return outcome;
    };
    hooks.formerBookNowAt = [&](const QByteArray &formerPath) { return movedPaths.value(formerPath); };
    try {
        m_written = rebuildLibrary(database(), m_deviceRoot, books, collections, hooks, writeBack);
    } catch (const SqliteError &error) {
        if (error.code() != SQLITE_FULL)
            throw;
        throw TessalyError(SyncMessages::volumeFull());
    }
}

bool ReaderSync::keepsThumbnail(qint64 id, QStringView recordId, QByteArrayView thumbnail) const
{
    if (thumbnail.isEmpty())
        return false;
    // The thumbnails folder was listed once: its folders stand for their thumbnails.
    if (ReaderLayout::isStoredThumbnailPathOf(thumbnail, recordId))
        return thumbnailFolders().holds(id);
    // One stored elsewhere is looked for once: the write-back's plan asks before its rebuild does.
    const QByteArray path = thumbnail.toByteArray();
    auto seen = m_thumbnailsElsewhere.constFind(path);
    if (seen == m_thumbnailsElsewhere.cend())
        seen = m_thumbnailsElsewhere.insert(
            path, QFileInfo(ReaderLayout::onDevice(m_deviceRoot, QString::fromUtf8(path))).isFile());
    return *seen;
}

ThumbnailOutcome ReaderSync::writeThumbnail(const ThumbnailJob &job, const ThumbnailOrigin &origin)
{
    const QString thumbnailFolder = ReaderLayout::thumbnailFolderPath(m_deviceRoot, job.recordId);
    const QString idFolder = QDir::cleanPath(thumbnailFolder + QStringLiteral(".."));
    bool folderThere = thumbnailFolders().holds(job.recordId.toLongLong());
    // What a stopped run may have left under an id given again.
    if (job.addedRecord && folderThere)
        folderThere = !removeEntryTree(idFolder, m_files);
    // A kept record's folder that is not there is made whole beside the thumbnails folder and
    // moved in at once: an undone run leaves it, and the folder stands for its thumbnail. An added
    // record's folder goes with an undone run, and one that is there (with more of the reader's in
    // it) receives the thumbnail itself.
    const bool staged = !job.addedRecord && !folderThere;
    const QString stagedIdFolder = ReaderLayout::stagedThumbnailsFolderPath(m_deviceRoot) + job.recordId;
    const QString folder = staged ? stagedIdFolder + ReaderLayout::ThumbnailSubfolder : thumbnailFolder;
    if (staged)
        removeEntryTree(stagedIdFolder, m_files);
    // A folder that cannot be made shows as the thumbnail's own write error.
    m_files.makeFolder(folder);
    const QByteArray &previous = origin.previousThumbnail;
    const QString previousFile = ReaderLayout::onDevice(m_deviceRoot, QString::fromUtf8(previous));
    const bool written = (!previous.isEmpty() && QFileInfo(previousFile).isFile() &&
                          m_files.copyFile(previousFile, folder + ReaderLayout::ThumbnailFileName)) ||
                         writeCoverThumbnail(origin.bookFile, folder, m_files, m_formats) != ThumbnailSource::None;
    if (written && (!staged || m_files.move(stagedIdFolder, idFolder)))
        return ThumbnailOutcome::Written;
    // No thumbnail, and no empty folder left to stand in another's way.
    if (!staged) {
        m_files.removeFolder(QDir::cleanPath(thumbnailFolder));
        m_files.removeFolder(idFolder);
    } else {
        removeEntryTree(stagedIdFolder, m_files);
    }
    if (written)
        throw TessalyError(thumbnailNotWrittenMessage(thumbnailFolder + ReaderLayout::ThumbnailFileName));
    return ThumbnailOutcome::None;
}

ListedLibrary ReaderSync::committedLibrary(bool withPaths, QStringList &toLookFor) const
{
    // Held locked since the run began, books.db lists exactly the records the rebuild committed.
    // The files of the records added, and every thumbnail not seen in place during the run: the
    // rest is as the old library had it.
    ListedLibrary listed;
    listed.ids.reserve(m_written->size());
    for (int row = 0; row < m_written->size(); ++row) {
        listed.ids.push_back(m_written->id(row));
        if (withPaths)
            listed.paths.insert(QString::fromUtf8(m_written->filePath(row)).toCaseFolded());
        if (m_written->isAdded(row))
            toLookFor << QString::fromUtf8(m_written->filePath(row));
        if (!m_written->thumbnail(row).isEmpty() && !m_thumbnailsInPlace.at(row))
            toLookFor << QString::fromUtf8(m_written->thumbnail(row));
    }
    std::sort(listed.ids.begin(), listed.ids.end());
    return listed;
}

bool ReaderSync::allOnDevice(const QStringList &storedPaths) const
{
    return std::all_of(storedPaths.cbegin(), storedPaths.cend(), [this](const QString &stored) {
        return QFileInfo(ReaderLayout::onDevice(m_deviceRoot, stored)).isFile();
    });
}

bool ReaderSync::finish(const QStringList &kept)
{
    SyncJournal journal = *m_journal;
    journal.kept = kept;
    // The library committed: what it lists, and what to look for once the files written under
    // names of their own are in their places. Without a rebuild nothing was committed to
    // complete: the journal tells the next run.
    bool done = false;
    if (m_written) {
        QStringList toLookFor;
        const ListedLibrary listed = committedLibrary(journal.clearsBooksFolder, toLookFor);
        done =
            completeSync(m_deviceRoot, m_files, journal, listed, thumbnailFolders(), turn()) && allOnDevice(toLookFor);
    }
    // The journal stays for the next run while anything named is not in place; one that cannot be
    // removed only has the next run look again.
    if (done)
        SyncJournalFile::remove(m_deviceRoot, m_files);
    else
        m_files.flush(m_deviceRoot);
    m_journal.reset();
    // Closing gives up the lock.
    m_database.reset();
    return done;
}

void ReaderSync::abandon()
{
    // Without the lock the files may be another run's.
    if (!m_database)
        return;
    database().rollback();
    if (m_journal) {
        try {
            if (undoSync(m_deviceRoot, m_files, *m_journal, ListedLibrary::read(database())))
                SyncJournalFile::remove(m_deviceRoot, m_files);
        } catch (const SqliteError &) {
            // The next run judges from the journal and what books.db holds then.
        }
        m_journal.reset();
    }
    m_database.reset();
}
