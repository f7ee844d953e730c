#include "sync/editing_sync.h"

#include "collections/library_page.h"
#include "core/dialogs.h"
#include "core/progress.h"
#include "core/tessaly_error.h"
#include "reader/find_reader.h"
#include "sync/reader_sync.h"
#include "sync/sync_messages.h"
#include "sync/write_back_plan.h"

#include <algorithm>
#include <future>
#include <vector>

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
                         FileOperations &files, const BookFormats &formats)
    : m_page(page), m_volumes(volumes), m_dialogs(dialogs), m_progress(progress), m_files(files), m_formats(formats)
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
    bool inPlace = false;
    try {
        inPlace = write();
    } catch (const TessalyError &error) {
        m_progress.hide();
        m_dialogs.message(error.message());
        return false;
    }
    m_progress.setPosition(Progress::Bar::Main, MainMaximum);
    // Shown while the progress window is still up.
    m_dialogs.message(inPlace ? SyncMessages::success() : SyncMessages::notCompleted());
    m_progress.hide();
    return inPlace;
}

bool EditingSync::write()
{
    ProgressSteps::open(m_progress, MainMaximum, QStringLiteral("Удаляю превьюшки с устройства..."));
    syncPhase(m_progress, 10);
    // Untouched since the load, books.db still stores what the rows were loaded with: the rows
    // tell its books, and only the records of rows changed since need reading again. They are
    // told while books.db is opened and its digest taken.
    std::future<std::optional<RecordsAsLoaded>> telling =
        std::async(std::launch::async, [this] { return m_page.reader.recordsAsLoaded(m_page.books.rows()); });
    ReaderSync sync(m_deviceRoot, m_files, m_progress, m_formats);
    sync.open(m_page.reader.soundDigest);
    std::optional<RecordsAsLoaded> asLoaded = telling.get();
    if (m_page.reader.isEmpty() || !m_page.reader.databaseDigest ||
        sync.databaseDigest() != m_page.reader.databaseDigest)
        asLoaded.reset();
    if (asLoaded) {
        sync.takeBooks(std::move(asLoaded->books));
    } else {
        sync.readBooks();
        // The rows name the loaded records by id: written to another library they would give its
        // books other titles, collections and notes.
        if (m_page.reader.isEmpty() || !m_page.reader.holdsSameBooks(sync.bookPaths()))
            throw TessalyError(readerChangedMessage());
    }
    // The plan is made on a thread of its own while the journal and the books' records are
    // written, which need none of it: the rebuild takes it before the thumbnails' turn.
    std::future<WriteBackPlan> planning = std::async(std::launch::async, [&] {
        return planWriteBack(m_page.reader, m_page.books.rows(), m_page.collections.rows(), m_deviceRoot, sync);
    });
    WriteBack writeBack;
    QVector<ThumbnailOrigin> thumbnails;
    if (asLoaded) {
        writeBack.storedBooks = &sync.previousBooks();
        writeBack.rowsShowingStored = std::move(asLoaded->rowsShowingLoaded);
    }
    const auto completePlan = [&] {
        WriteBackPlan plan = planning.get();
        writeBack.memberships = std::move(plan.writeBack.memberships);
        thumbnails = std::move(plan.thumbnails);
    };

    // Every book stays where it is, and so does its thumbnail; the folders of records that go
    // and of no record go once the library is committed.
    SyncJournal journal;
    std::vector<qint64> staying;
    staying.reserve(m_page.books.rowCount());
    for (const BookRow &book : m_page.books.rows())
        staying.push_back(book.record_id.toLongLong());
    std::sort(staying.begin(), staying.end());
    for (const PreviousBook &book : sync.previousBooks())
        if (!std::binary_search(staying.cbegin(), staying.cend(), book.id))
            journal.goneBooks << book.id;
    sync.begin(journal);
    syncPhase(m_progress, 20);
    syncPhase(m_progress, 40);
    // The page's rows change only once the new library is committed.
    sync.rebuild(m_page.books, m_page.collections, thumbnails, {}, &writeBack, completePlan);
    return sync.finish({});
}
