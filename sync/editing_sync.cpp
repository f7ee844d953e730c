#include "sync/editing_sync.h"

#include "collections/library_page.h"
#include "core/dialogs.h"
#include "core/progress.h"
#include "core/tessaly_error.h"
#include "reader/find_reader.h"
#include "sync/reader_sync.h"
#include "sync/sync_messages.h"
#include "sync/write_back_plan.h"

namespace {
constexpr int MainMaximum = 100;
} // namespace

QString readerChangedMessage()
{
    return QStringLiteral("Библиотека на устройстве не та, что была загружена: устройство подключено заново, "
                          "подключено другое устройство или его книги изменились.\r\n"
                          "Ничего не записано. Откройте страницу редактирования заново и повторите синхронизацию.");
}

EditingSync::EditingSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress,
                         FileOperations &files)
    : m_page(page), m_volumes(volumes), m_dialogs(dialogs), m_progress(progress), m_files(files)
{}

bool EditingSync::run()
{
    // With several readers attached, the one the page was loaded from, unasked.
    m_deviceRoot = findReaderRootOrSay(m_volumes, m_dialogs, m_page.reader.deviceRoot);
    if (m_deviceRoot.isEmpty())
        return false;
    if (m_page.books.rowCount() == 0) {
        m_dialogs.message(QStringLiteral("На устройстве нет книг!"));
        return false;
    }
    try {
        write();
    } catch (const TessalyError &error) {
        m_progress.hide();
        m_dialogs.message(error.message());
        return false;
    }
    m_progress.setPosition(Progress::Bar::Main, MainMaximum);
    // Shown while the progress window is still up.
    m_dialogs.message(SyncMessages::success());
    m_progress.hide();
    return true;
}

void EditingSync::write()
{
    ProgressSteps::open(m_progress, MainMaximum, QStringLiteral("Удаляю превьюшки с устройства..."));
    syncPhase(m_progress, 10);
    ReaderSync sync(m_deviceRoot, m_files, m_progress);
    sync.open();
    // The rows name the loaded records by id: written to another library they would give its
    // books other titles, collections and notes.
    if (m_page.reader.isEmpty() || !m_page.reader.holdsSameBooks(sync.database()))
        throw TessalyError(readerChangedMessage());
    WriteBackPlan plan = planWriteBack(m_page.reader, m_page.books.rows(), m_page.collections.rows(), m_deviceRoot);

    // Every book stays where it is.
    sync.keepEveryBook();
    QSet<qint64> thumbnailsTakenOver;
    for (const ThumbnailOrigin &origin : std::as_const(plan.thumbnails))
        if (origin.previousRecord != 0)
            thumbnailsTakenOver.insert(origin.previousRecord);
    sync.clearThumbnails(thumbnailsTakenOver);
    syncPhase(m_progress, 20);
    syncPhase(m_progress, 40);
    // The page's rows change only once the new library is committed.
    sync.rebuild(m_page.books, m_page.collections, plan.thumbnails, {}, &plan.writeBack);
    sync.finish();
}
