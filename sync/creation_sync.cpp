#include "sync/creation_sync.h"

#include "collections/library_page.h"
#include "core/dialogs.h"
#include "core/file_operations.h"
#include "core/progress.h"
#include "core/tessaly_error.h"
#include "reader/find_reader.h"
#include "reader/free_space.h"
#include "reader/reader_layout.h"
#include "sync/book_placement.h"
#include "sync/reader_sync.h"
#include "sync/space_check.h"
#include "sync/sync_messages.h"

#include <QDir>

namespace {
constexpr int MainMaximum = 100;

QString confirmationCaption()
{
    return QStringLiteral("Подтверждение синхронизации с устройством");
}

QString confirmationQuestion()
{
    return QStringLiteral("Сначала на устройстве будут удалены все книги и коллекции. \r\n"
                          "Потом на устройство будут загружены выбранные книги и созданы \r\n"
                          "пользовательские коллекции. Продолжить?");
}

QVector<BookRow> booksInCollections(const QVector<BookRow> &books)
{
    QVector<BookRow> chosen;
    chosen.reserve(books.size());
    for (const BookRow &book : books)
        if (!book.collection.isEmpty())
            chosen.append(book);
    return chosen;
}

// A copy over a file the reader has is made under a name of its own and takes the file's place
// only after the commit: until then the old library's file stays whole.
QString temporaryName(const QString &destination)
{
    return destination + QStringLiteral(".tessaly-new");
}
} // namespace

CreationSync::CreationSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress,
                           FileOperations &files, const BookFormats &formats)
    : m_page(page), m_volumes(volumes), m_dialogs(dialogs), m_progress(progress), m_files(files), m_formats(formats)
{}

int CreationSync::askToGoOn()
{
    m_deviceRoot = findReaderRootOrSay(m_volumes, m_dialogs);
    if (m_deviceRoot.isEmpty())
        return 0;
    if (m_page.books.rowCount() == 0) {
        m_dialogs.message(QStringLiteral("Нет книг для добавления!"));
        return 0;
    }
    const int count = m_page.books.collectionSummary().booksInCollections();
    if (count == 0) {
        m_dialogs.message(QStringLiteral("Нет книг для добавления или они не добавлены в коллекции!"));
        return 0;
    }
    if (!m_dialogs.confirm(confirmationCaption(), confirmationQuestion()))
        return 0;
    return count;
}

bool CreationSync::run(qint64 totalSize)
{
    const int count = askToGoOn();
    if (count == 0)
        return false;

    ProgressSteps::open(m_progress, MainMaximum, QStringLiteral("Удаляю книги с устройства..."));
    ReaderSync sync(m_deviceRoot, m_files, m_progress, m_formats);
    QStringList notWritten;
    bool inPlace = false;
    try {
        sync.open();
        sync.readBooks();
        PlacementPlan plan =
            planPlacements(m_deviceRoot, booksInCollections(m_page.books.rows()), sync.previousBooks());
        sync.requireSound();
        if (!checkSpace(totalSize, plan))
            return false;
        removeBooksWithoutCollection();
        sync.begin(journal(plan, sync));
        syncPhase(m_progress, 10);
        syncPhase(m_progress, 20);
        const QVector<int> writtenRows = placeBooks(plan, notWritten);
        rebuild(sync, writtenRows, plan);
        inPlace = sync.finish(booksOfTheReaderKept(plan, writtenRows));
    } catch (const TessalyError &error) {
        sync.abandon();
        m_progress.hide();
        m_dialogs.message(error.message());
        return false;
    }

    m_progress.setPosition(Progress::Bar::Main, MainMaximum);
    // Shown while the progress window is still up.
    m_dialogs.message(!inPlace               ? SyncMessages::notCompleted()
                      : notWritten.isEmpty() ? SyncMessages::success()
                                             : SyncMessages::booksNotWritten(notWritten));
    m_progress.hide();
    return inPlace && notWritten.isEmpty();
}

bool CreationSync::checkSpace(qint64 totalSize, const PlacementPlan &plan)
{
    const VolumeSpace space = queryVolumeSpace(m_deviceRoot);
    // A reader whose space cannot be asked is synchronised unchecked.
    if (!space.queried)
        return true;
    // What the reader holds already needs no new space; what the old library frees goes only
    // after the commit, so it cannot count.
    const qint64 toCopy = qMax<qint64>(0, totalSize - plan.bytesKept);
    qint64 newThumbnails = 0;
    for (const BookPlacement &placement : plan.books)
        newThumbnails +=
            placement.how == Placement::Copy || (placement.how == Placement::Keep && placement.keptRecord == 0);
    if (booksFit(toCopy, newThumbnails, space.availableBytes))
        return true;
    m_progress.hide();
    m_dialogs.message(notEnoughSpaceMessage(toCopy, newThumbnails, space.availableBytes));
    return false;
}

void CreationSync::removeBooksWithoutCollection()
{
    QVector<bool> withoutCollection;
    withoutCollection.reserve(m_page.books.rowCount());
    for (const BookRow &book : m_page.books.rows())
        withoutCollection.append(book.collection.isEmpty());
    m_page.books.removeFlaggedRows(withoutCollection);
}

QString CreationSync::storedIfInBooksFolder(const QString &path) const
{
    const QString native = QDir::toNativeSeparators(path);
    return native.startsWith(ReaderLayout::booksFolderPath(m_deviceRoot))
               ? ReaderLayout::storedPathOf(m_deviceRoot, native)
               : QString();
}

SyncJournal CreationSync::journal(const PlacementPlan &plan, ReaderSync &sync) const
{
    SyncJournal journal;
    journal.clearsBooksFolder = true;
    const qint64 firstId = sync.nextBookId();
    QSet<qint64> kept;
    for (int i = 0; i < plan.books.size(); ++i) {
        const BookPlacement &placement = plan.books.at(i);
        journal.newBooks << firstId + i;
        kept.insert(placement.keptRecord);
        const QString destination = ReaderLayout::storedPathOf(m_deviceRoot, placement.destination);
        if (placement.how == Placement::Copy && QFileInfo::exists(placement.destination))
            journal.renames.append(
                {ReaderLayout::storedPathOf(m_deviceRoot, temporaryName(placement.destination)), destination});
        else if (placement.how == Placement::Copy)
            journal.written << destination;
        // Until the run is over, every book of the reader's that the page names stays.
        const QString source = storedIfInBooksFolder(m_page.books.row(i).full_path);
        if (!source.isEmpty())
            journal.kept << source;
    }
    for (const PreviousBook &book : sync.previousBooks())
        if (!kept.contains(book.id))
            journal.goneBooks << book.id;
    return journal;
}

QStringList CreationSync::booksOfTheReaderKept(const PlacementPlan &plan, const QVector<int> &writtenRows) const
{
    QVector<bool> written(plan.books.size(), false);
    for (const int row : writtenRows)
        written[row] = true;
    QStringList kept;
    for (int i = 0; i < plan.books.size(); ++i) {
        // Only a book copied to its new place leaves its old one.
        const BookPlacement &placement = plan.books.at(i);
        const QString source =
            written.at(i) && placement.fromReader ? QString() : storedIfInBooksFolder(placement.source);
        if (!source.isEmpty())
            kept << source;
    }
    return kept;
}

QVector<int> CreationSync::placeBooks(PlacementPlan &plan, QStringList &notWritten)
{
    syncPhase(m_progress, 40, QStringLiteral("Копирую книги на устройство..."));
    const int count = m_page.books.rowCount();
    ProgressSteps::beginItems(m_progress, count, false);
    QSet<qint64> recordsKept;
    for (const BookPlacement &placement : std::as_const(plan.books))
        recordsKept.insert(placement.keptRecord);
    QVector<int> written;
    written.reserve(count);
    for (int i = 0; i < count; ++i) {
        ProgressSteps::item(m_progress, QStringLiteral("Книга №"), i + 1, count);
        BookPlacement &placement = plan.books[i];
        const QString path = QDir::toNativeSeparators(m_page.books.row(i).full_path);
        bool onReader = false;
        switch (placement.how) {
        case Placement::Keep:
            onReader = true;
            break;
        case Placement::Copy:
            onReader = m_files.copyFile(placement.source, QFileInfo::exists(placement.destination)
                                                              ? temporaryName(placement.destination)
                                                              : placement.destination);
            // A book of the reader's that cannot go to its new place stays at its old one, with
            // its record, notes and reading position.
            if (!onReader && placement.fromReader && placement.previous.id != 0 &&
                !recordsKept.contains(placement.previous.id)) {
                placement = {.how = Placement::Keep,
                             .source = placement.source,
                             .destination = placement.source,
                             .bytes = placement.bytes,
                             .keptRecord = placement.previous.id};
                recordsKept.insert(placement.keptRecord);
                onReader = true;
            }
            break;
        case Placement::Displaced:
            notWritten << path + QStringLiteral(" (на устройстве то же место, что у другой книги)");
            continue;
        }
        if (onReader)
            written.append(i);
        else
            notWritten << path;
    }
    return written;
}

void CreationSync::rebuild(ReaderSync &sync, const QVector<int> &writtenRows, const PlacementPlan &plan)
{
    // Only the books on the reader are written; the others stay in the page's list as they are.
    BookTable written;
    QVector<BookRow> rows;
    QVector<ThumbnailOrigin> thumbnails;
    rows.reserve(writtenRows.size());
    thumbnails.reserve(writtenRows.size());
    for (const int row : writtenRows) {
        const BookPlacement &placement = plan.books.at(row);
        rows.append(m_page.books.row(row));
        // A book kept where it is keeps its record; every other gets a record of its own.
        rows.last().record_id = placement.keptRecord != 0 ? QString::number(placement.keptRecord) : QString();
        thumbnails.append({placement.previous.thumbnail, placement.source});
    }
    written.appendRows(std::move(rows));
    sync.rebuild(written, m_page.collections, thumbnails, plan.movedPaths);

    // The page's rows take what was written: cleaned titles, record ids in `root`; a book
    // taken from the reader's folder is now at its place there.
    int index = 0;
    int next = 0;
    m_page.books.updateRows([&](BookRow &row) {
        if (next >= writtenRows.size() || writtenRows.at(next) != index++)
            return false;
        const BookPlacement &placement = plan.books.at(writtenRows.at(next));
        row = written.row(next++);
        if (placement.fromReader)
            row.full_path = QDir::toNativeSeparators(placement.destination);
        return true;
    });
}
