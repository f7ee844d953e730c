#include "device/creation_sync.h"

#include "collections/library_page.h"
#include "core/dialogs.h"
#include "core/progress.h"
#include "core/tessaly_error.h"
#include "device/books_kept_aside.h"
#include "device/cover_thumbnail.h"
#include "device/file_transfer.h"
#include "device/find_reader.h"
#include "device/folder_clearing.h"
#include "device/free_space.h"
#include "device/library_rebuild.h"
#include "device/reader_layout.h"
#include "device/space_check.h"

#include <QDir>
#include <QHash>
#include <QSet>

namespace {
constexpr int MainMaximum = 100;
constexpr qsizetype MessageListLength = 20;

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

QString successMessage()
{
    return QStringLiteral("Синхронизация успешно завершена! \r\n"
                          "Отключите устройство и можно сразу же приступать к чтению книг.\r\n"
                          "При возникновении ошибки, перезапустите устройство.");
}

QString notKeptMessage(const QString &file)
{
    return QStringLiteral("Книгу из папки книг устройства не удалось сохранить на время синхронизации:\r\n") +
           QDir::toNativeSeparators(file) + QStringLiteral("\r\nНа устройстве ничего не изменено.");
}

// Added to a message when books taken from the reader's books folder could not go back.
QString keptFolderNote(const QString &folder)
{
    return QStringLiteral("\r\nКниги, взятые из папки книг устройства, остались в папке:\r\n") +
           QDir::toNativeSeparators(folder);
}

void phase(Progress &progress, int position, const QString &caption = {})
{
    // During a synchronisation only the caption label repaints.
    ProgressSteps::phase(progress, position, caption, Progress::Repaint::MainCaption);
}

QString destinationOf(const QString &deviceRoot, const BookRow &book)
{
    return ReaderLayout::booksFolderPath(deviceRoot) + book.relative_path;
}

// The reader's FAT volume does not tell names apart by case.
QString placeKey(const BookRow &book)
{
    return QDir::fromNativeSeparators(book.relative_path).toCaseFolded();
}
} // namespace

QString booksNotCopiedMessage(const QStringList &books)
{
    QString message = QStringLiteral("Синхронизация завершена, но не все книги попали на устройство.\r\n"
                                     "Этих книг нет в библиотеке устройства:");
    for (qsizetype i = 0; i < books.size() && i < MessageListLength; ++i)
        message += QStringLiteral("\r\n") + books.at(i);
    if (books.size() > MessageListLength)
        message += QStringLiteral("\r\n... и ещё ") + QString::number(books.size() - MessageListLength);
    return message + QStringLiteral("\r\nОни остались в списке файлов.");
}

CreationSync::CreationSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress)
    : m_page(page), m_volumes(volumes), m_dialogs(dialogs), m_progress(progress)
{}

bool CreationSync::run(qint64 totalSize)
{
    m_deviceRoot = findReaderRoot(m_volumes);
    if (m_deviceRoot.isEmpty()) {
        m_dialogs.message(deviceNotFoundMessage());
        return false;
    }
    const QVector<BookRow> &rows = m_page.books.rows();
    if (rows.isEmpty()) {
        m_dialogs.message(QStringLiteral("Нет книг для добавления!"));
        return false;
    }
    QStringList chosen;
    for (const BookRow &book : rows)
        if (!book.collection.isEmpty())
            chosen << book.full_path;
    if (chosen.isEmpty()) {
        m_dialogs.message(QStringLiteral("Нет книг для добавления или они не добавлены в коллекции!"));
        return false;
    }
    if (!m_dialogs.confirm(confirmationCaption(), confirmationQuestion()))
        return false;

    ProgressSteps::open(m_progress, MainMaximum, QStringLiteral("Удаляю книги с устройства..."));
    BooksKeptAside kept(
        chosen, {ReaderLayout::booksFolderPath(m_deviceRoot), ReaderLayout::thumbnailsFolderPath(m_deviceRoot)});
    if (!checkSpace(totalSize, int(chosen.size()), kept))
        return false;
    if (!kept.moveAside(m_deviceRoot + QStringLiteral("Sony_Reader"))) {
        m_progress.hide();
        m_dialogs.message(notKeptMessage(kept.failedFile()));
        return false;
    }

    QStringList notCopied;
    QSet<QString> copiedFiles;
    try {
        removeBooksWithoutCollection();
        clearReaderFolders();
        const QVector<int> copiedRows = copyBooks(kept, notCopied);
        for (const int row : copiedRows)
            copiedFiles.insert(m_page.books.row(row).full_path);
        rebuild(copiedRows, kept);
    } catch (const TessalyError &error) {
        // The rebuild has left the previous library in books.db; the books taken from the
        // reader's folder go back where the user's list expects them.
        const bool keptReturned = kept.returnAll();
        m_progress.hide();
        m_dialogs.message(error.message() + (keptReturned ? QString() : keptFolderNote(kept.folder())));
        return false;
    }

    const bool keptFinished = kept.finish(copiedFiles);
    flushVolume(m_deviceRoot);
    m_progress.setPosition(Progress::Bar::Main, MainMaximum);
    // Shown while the progress window is still up.
    QString message = notCopied.isEmpty() ? successMessage() : booksNotCopiedMessage(notCopied);
    if (!keptFinished)
        message += keptFolderNote(kept.folder());
    m_dialogs.message(message);
    m_progress.hide();
    return notCopied.isEmpty() && keptFinished;
}

bool CreationSync::checkSpace(qint64 totalSize, int count, const BooksKeptAside &kept)
{
    const VolumeSpace space = queryVolumeSpace(m_deviceRoot);
    // A reader whose space cannot be asked is synchronised unchecked.
    if (!space.queried)
        return true;
    // Files chosen from the reader's folders stay on it while their copies are made.
    const qint64 available = space.availableBytes + bytesFreedByClearing(ReaderLayout::booksFolderPath(m_deviceRoot)) +
                             bytesFreedByClearing(ReaderLayout::thumbnailsFolderPath(m_deviceRoot)) -
                             kept.bytesStaying();
    if (booksFit(totalSize, count, available))
        return true;
    m_progress.hide();
    m_dialogs.message(notEnoughSpaceMessage(totalSize, count, available));
    return false;
}

void CreationSync::removeBooksWithoutCollection()
{
    QVector<BookRow> inCollections;
    inCollections.reserve(m_page.books.rowCount());
    for (const BookRow &book : m_page.books.rows())
        if (!book.collection.isEmpty())
            inCollections.append(book);
    if (inCollections.size() != m_page.books.rowCount())
        m_page.books.replaceRows(std::move(inCollections));
}

void CreationSync::clearReaderFolders()
{
    const auto turn = [this] { m_progress.processEvents(); };
    clearFolderTree(ReaderLayout::booksFolderPath(m_deviceRoot), turn);
    phase(m_progress, 10);
    clearFolderTree(ReaderLayout::thumbnailsFolderPath(m_deviceRoot), turn);
    phase(m_progress, 20);
}

QVector<int> CreationSync::copyBooks(const BooksKeptAside &kept, QStringList &notCopied)
{
    phase(m_progress, 40, QStringLiteral("Копирую книги на устройство..."));
    const int count = m_page.books.rowCount();
    ProgressSteps::beginItems(m_progress, count, false);
    // Of books bound for one place on the reader only the last would stay there.
    QHash<QString, int> lastForPlace;
    lastForPlace.reserve(count);
    for (int i = 0; i < count; ++i)
        lastForPlace.insert(placeKey(m_page.books.row(i)), i);

    QVector<int> copied;
    copied.reserve(count);
    for (int i = 0; i < count; ++i) {
        ProgressSteps::item(m_progress, QStringLiteral("Книга №"), i + 1, count);
        const BookRow &book = m_page.books.row(i);
        const QString path = QDir::toNativeSeparators(book.full_path);
        if (lastForPlace.value(placeKey(book)) != i)
            notCopied << path + QStringLiteral(" (на устройстве то же место, что у другой книги)");
        else if (copyFileOver(kept.currentPath(book.full_path), destinationOf(m_deviceRoot, book)))
            copied.append(i);
        else
            notCopied << path;
    }
    return copied;
}

void CreationSync::rebuild(const QVector<int> &copiedRows, const BooksKeptAside &kept)
{
    // Only the books on the reader are written; the others stay in the page's list as they are.
    BookTable written;
    QVector<BookRow> rows;
    QStringList sources;
    rows.reserve(copiedRows.size());
    sources.reserve(copiedRows.size());
    for (const int row : copiedRows) {
        rows.append(m_page.books.row(row));
        sources << kept.currentPath(rows.last().full_path);
    }
    written.appendRows(std::move(rows));

    RebuildHooks hooks;
    hooks.beforeStep = [&](RebuildStep next) {
        switch (next) {
        case RebuildStep::CreateBooksTable:
            break;
        case RebuildStep::InsertBooks:
            phase(m_progress, 70, QStringLiteral("Заношу информацию о книгах в базу..."));
            break;
        case RebuildStep::Thumbnails:
            phase(m_progress, 80, QStringLiteral("Создаю превью на устройстве..."));
            ProgressSteps::beginItems(m_progress, written.rowCount(), false);
            break;
        case RebuildStep::Collections:
            ProgressSteps::clearItems(m_progress);
            m_progress.repaint(Progress::Repaint::ItemCaption);
            m_progress.processEvents();
            phase(m_progress, 85, QStringLiteral("Формирую список коллекций..."));
            break;
        case RebuildStep::Finish:
            phase(m_progress, 90, QStringLiteral("Завершаю подготовку базы.."));
            break;
        }
    };
    hooks.writeThumbnail = [&](const ThumbnailJob &job) {
        ProgressSteps::item(m_progress, QStringLiteral("Превью №"), job.number, job.count);
        // A folder that cannot be made shows as the thumbnail's own write error.
        QDir().mkpath(job.folder);
        writeCoverThumbnail(sources.at(job.number - 1), job.folder);
    };
    rebuildLibrary(m_deviceRoot, written, m_page.collections, hooks);

    // The page's rows take what was written: cleaned titles, record ids in `root`; a book
    // taken from the reader's folder is now at its place there.
    int index = 0;
    int next = 0;
    m_page.books.updateRows([&](BookRow &row) {
        if (next >= copiedRows.size() || copiedRows.at(next) != index++)
            return false;
        const bool wasKept = kept.currentPath(row.full_path) != row.full_path;
        row = written.row(next++);
        if (wasKept)
            row.full_path = QDir::toNativeSeparators(destinationOf(m_deviceRoot, row));
        return true;
    });
}
