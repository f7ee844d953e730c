#include "sync/creation_sync.h"

#include "collections/library_page.h"
#include "core/dialogs.h"
#include "core/file_operations.h"
#include "core/progress.h"
#include "core/tessaly_error.h"
#include "reader/find_reader.h"
#include "reader/folder_clearing.h"
#include "reader/free_space.h"
#include "reader/reader_layout.h"
#include "sync/book_placement.h"
#include "sync/books_kept_aside.h"
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

// The reader's files that the clearing of its books folder leaves: those staying where they are,
// and those about to move, which are counted as still there.
KeepEntry keepsBooks(const PlacementPlan &plan)
{
    // Nothing to keep, nothing to look at: a first synchronisation looks at no file twice.
    if (plan.filesStaying.isEmpty() && plan.filesMoving.isEmpty())
        return {};
    return [&plan](const QFileInfo &entry) {
        if (entry.isDir() && !entry.isSymLink())
            return false;
        const std::optional<FileFacts> facts = fileFacts(entry.absoluteFilePath());
        return facts && (plan.filesStaying.contains(facts->identity) || plan.filesMoving.contains(facts->identity));
    };
}
} // namespace

CreationSync::CreationSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress,
                           FileOperations &files)
    : m_page(page), m_volumes(volumes), m_dialogs(dialogs), m_progress(progress), m_files(files)
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
    ReaderSync sync(m_deviceRoot, m_files, m_progress);
    BooksKeptAside aside(m_deviceRoot, m_files);
    QStringList notWritten;
    try {
        sync.open();
        const PlacementPlan plan =
            planPlacements(m_deviceRoot, booksInCollections(m_page.books.rows()), sync.previousBooks());
        if (!checkSpace(totalSize, count, plan, sync))
            return false;
        removeBooksWithoutCollection();
        sync.withdraw(plan.recordsStaying);
        clearBooksFolder(plan, sync);
        sync.clearThumbnails(plan.thumbnailsTakenOver);
        syncPhase(m_progress, 20);
        const QVector<int> writtenRows = placeBooks(plan, aside, notWritten);
        rebuild(sync, writtenRows, plan);
    } catch (const TessalyError &error) {
        sync.abandon();
        // The books taken from the reader's folder go back where the user's list expects them.
        QStringList asideFolders = sync.foldersLeftAside();
        if (!aside.returnAll())
            asideFolders << aside.folder();
        m_progress.hide();
        m_dialogs.message(error.message() + SyncMessages::keptAsideNote(asideFolders));
        return false;
    }

    QStringList asideFolders = sync.foldersLeftAside();
    if (!aside.finish())
        asideFolders << aside.folder();
    sync.finish();
    m_progress.setPosition(Progress::Bar::Main, MainMaximum);
    // Shown while the progress window is still up.
    m_dialogs.message((notWritten.isEmpty() ? SyncMessages::success() : SyncMessages::booksNotWritten(notWritten)) +
                      SyncMessages::keptAsideNote(asideFolders));
    m_progress.hide();
    return notWritten.isEmpty() && asideFolders.isEmpty();
}

bool CreationSync::checkSpace(qint64 totalSize, int count, const PlacementPlan &plan, const ReaderSync &sync)
{
    const VolumeSpace space = queryVolumeSpace(m_deviceRoot);
    // A reader whose space cannot be asked is synchronised unchecked.
    if (!space.queried)
        return true;
    // What the reader holds already needs no new space.
    const qint64 toCopy = qMax<qint64>(0, totalSize - plan.bytesOnReader);
    const qint64 newThumbnails = count - plan.thumbnailsTakenOver.size();
    if (booksFit(toCopy, newThumbnails, space.availableBytes))
        return true;
    // What the clearing frees counts too; what stays does not.
    const qint64 available = space.availableBytes +
                             bytesFreedByClearing(ReaderLayout::booksFolderPath(m_deviceRoot), keepsBooks(plan)) +
                             sync.bytesFreedInThumbnails(plan.thumbnailsTakenOver);
    if (booksFit(toCopy, newThumbnails, available))
        return true;
    m_progress.hide();
    m_dialogs.message(notEnoughSpaceMessage(toCopy, newThumbnails, available));
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

void CreationSync::clearBooksFolder(const PlacementPlan &plan, ReaderSync &sync)
{
    clearFolderTree(ReaderLayout::booksFolderPath(m_deviceRoot), m_files, sync.turn(), keepsBooks(plan));
    syncPhase(m_progress, 10);
}

QVector<int> CreationSync::placeBooks(const PlacementPlan &plan, BooksKeptAside &aside, QStringList &notWritten)
{
    // Books of the reader's own folders, which the clearing left, go aside and then to their places,
    // before any copy: a book chosen twice is copied from where the first one went.
    QVector<BooksKeptAside::Move> moves;
    for (const BookPlacement &placement : plan.books)
        if (placement.setAside)
            moves.append({placement.source, placement.how == Placement::Move ? placement.destination : QString()});
    // A book that cannot go aside stays where it is, and nothing is copied over it.
    QSet<FileIdentity> stuck;
    for (const QString &file : aside.moveAside(moves))
        if (const std::optional<FileFacts> facts = fileFacts(file))
            stuck.insert(facts->identity);
    QSet<QString> placed;
    for (const BooksKeptAside::Move &move : std::as_const(moves))
        if (!move.destination.isEmpty() && aside.place(move.file))
            placed.insert(move.file);
    const auto overStuckBook = [&stuck](const QString &destination) {
        const std::optional<FileFacts> facts = stuck.isEmpty() ? std::nullopt : fileFacts(destination);
        return facts && stuck.contains(facts->identity);
    };

    syncPhase(m_progress, 40, QStringLiteral("Копирую книги на устройство..."));
    const int count = m_page.books.rowCount();
    ProgressSteps::beginItems(m_progress, count, false);
    QVector<int> written;
    written.reserve(count);
    for (int i = 0; i < count; ++i) {
        ProgressSteps::item(m_progress, QStringLiteral("Книга №"), i + 1, count);
        const BookPlacement &placement = plan.books.at(i);
        const QString path = QDir::toNativeSeparators(m_page.books.row(i).full_path);
        bool onReader = false;
        switch (placement.how) {
        case Placement::Keep:
            onReader = true;
            break;
        case Placement::Move:
            onReader = placed.contains(placement.source);
            break;
        case Placement::Copy:
            onReader =
                !overStuckBook(placement.destination) && m_files.copyFile(placement.source, placement.destination);
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
        thumbnails.append(
            {placement.previousRecord, placement.how == Placement::Move ? placement.destination : placement.source});
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
        if (placement.how == Placement::Move)
            row.full_path = QDir::toNativeSeparators(placement.destination);
        return true;
    });
}
