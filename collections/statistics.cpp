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

// Anything but plain digits: the general conversion, kept out of the counting loop.
Q_NEVER_INLINE qint64 convertedFileSize(const QString &fileSize)
{
    bool isNumber = false;
    const qint64 size = fileSize.toLongLong(&isNumber);
    return isNumber && size > 0 ? size : 0;
}

// The sizes the program writes are plain digits, read here directly: this runs over every
// book after each change. The loop does not branch on the characters, so reading the next
// rows need not wait for this one.
inline qint64 fileSizeOf(const QString &fileSize)
{
    const qsizetype length = fileSize.size();
    if (length == 0 || length > 18)
        return convertedFileSize(fileSize);
    const QChar *characters = fileSize.constData();
    // Unsigned, so a run of other characters wraps harmlessly before it is thrown away.
    quint64 size = 0;
    bool digitsOnly = true;
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned digit = unsigned(characters[i].unicode()) - u'0';
        digitsOnly &= digit <= 9;
        size = size * 10 + digit;
    }
    return digitsOnly ? qint64(size) : convertedFileSize(fileSize);
}
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
        const qint64 size = fileSizeOf(book.file_size);
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
