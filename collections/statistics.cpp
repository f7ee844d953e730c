#include "collections/statistics.h"

#include "collections/library_page.h"

#include <QStringList>

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
    if (!hasCollections)
        page.shownBooks.empty();
    statistics.bookPanelVisible = page.shownBooks.rowCount() > 0;
    statistics.collectionPanelVisible = hasCollections;
    statistics.pathPanelVisible = hasBooks;
    statistics.stepTwoVisible = editing || hasBooks;
    statistics.stepThreeVisible = editing || hasCollections;
    statistics.defaultCollectionMessage = editing && !hasCollections;

    const BookCollectionSummary &summary = page.books.collectionSummary();
    const qint64 booksInCollections = summary.booksInCollections();
    statistics.total_size = summary.bytesInCollections();

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
