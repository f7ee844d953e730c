#include "collections/statistics.h"

#include "collections/library_page.h"
#include "collections/shown_books.h"

#include <QStringList>

#include <limits>

namespace {
QString megabytesAndKilobytes(qint64 kilobytes)
{
    return QStringLiteral("%1 МБ %2 КБ").arg(kilobytes / 1024).arg(kilobytes % 1024);
}

// A thumbnail is reckoned at 200 KB per book in a collection.
constexpr qint64 thumbnailKilobytes = 200;
} // namespace

QString statisticsCaptionText()
{
    return QStringLiteral("Общее количество книг:\r\nКоличество коллекций:\r\nКниг в коллекциях:\r\n"
                          "Объем книг в коллекциях:\r\nОбъем превьюшек:");
}

QString defaultCollectionMessageText()
{
    return QStringLiteral("Книги без коллекции устройство автоматически \r\nдобавляет в Коллекцию по умолчанию!");
}

PageStatistics updateStatistics(LibraryPage &page)
{
    const bool editing = page.kind == LibraryPage::Kind::Editing;
    const bool hasBooks = page.books.rowCount() > 0;
    const bool hasCollections = page.collections.rowCount() > 0;

    PageStatistics statistics;
    if (!hasCollections) {
        // No reset for views when there is nothing to empty.
        if (page.shownBooks.rowCount() > 0 || page.shownBooks.hasHeader())
            clearShownBooks(page);
        page.shownBooks.shown_collection_row = -1;
    }
    statistics.bookPanelVisible = page.shownBooks.rowCount() > 0;
    statistics.collectionPanelVisible = hasCollections;
    statistics.pathPanelVisible = hasBooks;
    statistics.stepTwoVisible = editing || hasBooks;
    statistics.stepThreeVisible = editing || hasCollections;
    statistics.defaultCollectionMessage = editing && !hasCollections;

    qint64 booksInCollections = 0;
    for (const BookRow &book : page.books.rows()) {
        if (book.collection.isEmpty())
            continue;
        // Saturates rather than overflows on absurd sizes read from a reader's database.
        const qint64 size = book.file_size.bytes();
        statistics.total_size = size > std::numeric_limits<qint64>::max() - statistics.total_size
                                    ? std::numeric_limits<qint64>::max()
                                    : statistics.total_size + size;
        ++booksInCollections;
    }

    const QStringList lines{
        QStringLiteral("%1 шт.").arg(page.books.rowCount()),
        QStringLiteral("%1 шт.").arg(page.collections.rowCount()),
        QStringLiteral("%1 шт.").arg(booksInCollections),
        megabytesAndKilobytes(statistics.total_size / 1024),
        megabytesAndKilobytes(booksInCollections * thumbnailKilobytes),
    };
    statistics.valueText = lines.join(QStringLiteral("\r\n"));
    return statistics;
}
