#include "booklist/book_passes.h"

#include "booklist/book_file_head.h"
#include "booklist/book_file_kinds.h"
#include "booklist/book_table.h"
#include "booklist/epub_pdf_metadata.h"
#include "booklist/fb2_metadata.h"
#include "booklist/time_stamps.h"
#include "core/clock.h"
#include "core/progress.h"
#include "core/zipped_fb2.h"
#include "covers/book_formats.h"
#include "covers/epub_package.h"

#include <QFileInfo>

namespace {
const QString ItemPrefix = QStringLiteral("Книга №");

// Runs `work` on every row with the progress items of a pass; the views hear of the
// changes once, at the end. `work` returns false for a file it could not read.
template <typename Work> QStringList runPass(BookTable &books, Progress &progress, Work work)
{
    const int count = books.rowCount();
    ProgressSteps::beginItems(progress, count, true);
    QStringList unreadable;
    for (int i = 0; i < count; ++i) {
        ProgressSteps::item(progress, ItemPrefix, i + 1, count);
        if (i >= books.rowCount()) // rows removed while events were processed
            break;
        BookRow &row = books.rowForQuietEdit(i);
        if (!work(row))
            unreadable << row.full_path;
    }
    books.announceAllRowsChanged();
    return unreadable;
}
} // namespace

QStringList runSizePass(BookTable &books, Progress &progress, const Clock &clock)
{
    // One reading serves the pass: the books added together share their time stamps, and
    // reading the local clock per row would cost more than measuring the file.
    const BookTimeStamps stamps = bookTimeStamps(clock.now());
    return runPass(books, progress, [&](BookRow &row) {
        const QFileInfo file(row.full_path);
        if (!file.isFile())
            return false;
        // A zipped book counts with the size the reader will hold.
        const std::optional<qint64> size = isZippedBookName(row.full_path) ? zippedFb2Size(row.full_path) : file.size();
        if (!size)
            return false;
        row.file_size = BookFileSize(*size);
        row.added_date = stamps.added;
        row.modified_date = stamps.modified;
        return true;
    });
}

QStringList runMetadataPass(BookTable &books, Progress &progress, const BookFormats &formats)
{
    const Fb2MetadataReader reader;
    return runPass(books, progress, [&](BookRow &row) {
        const BookKind kind = writtenBookKindOf(row.full_path);
        if (kind != BookKind::Fb2) {
            if (!readEpubOrPdfMetadata(row, kind, formats))
                row.title = row.file_name;
        } else {
            const std::optional<QByteArray> head = readFb2Head(row.full_path, Fb2HeadSize);
            if (!head)
                return false;
            const Fb2Metadata metadata = reader.read(*head);
            row.author = metadata.author;
            if (metadata.title)
                row.title = *metadata.title;
            row.series = metadata.series;
            row.series_number = metadata.seriesNumber;
        }
        row.mime_type = mimeTypeOf(kind);
        return true;
    });
}

QStringList runSeriesPass(BookTable &books, Progress &progress, const BookFormats &formats,
                          const std::function<QString(const QString &fullPath)> &placeOf)
{
    const Fb2MetadataReader reader;
    return runPass(books, progress, [&](BookRow &row) {
        const BookKind kind = bookKindOf(row.full_path);
        if (kind == BookKind::Epub && formats.epubAndPdf) {
            const std::optional<EpubPackage> package = readEpubPackageAt(placeOf(row.full_path));
            if (!package)
                return false;
            row.series = package->series;
            row.series_number = package->seriesNumber;
            return true;
        }
        if (kind != BookKind::Fb2)
            return true;
        const std::optional<QByteArray> head = readBookHead(placeOf(row.full_path), Fb2HeadSize);
        if (!head)
            return false;
        const Fb2Metadata metadata = reader.read(*head);
        row.series = metadata.series;
        row.series_number = metadata.seriesNumber;
        return true;
    });
}
