#include "booklist/book_passes.h"

#include "booklist/book_file_kinds.h"
#include "booklist/book_table.h"
#include "booklist/fb2_metadata.h"
#include "booklist/time_stamps.h"
#include "core/clock.h"
#include "core/progress.h"

#include <QFile>
#include <QFileInfo>

namespace {
const QString ItemPrefix = QStringLiteral("Книга №");

// Only regular files are opened: a folder or a pipe named like a book is unreadable.
bool openBookFile(QFile &file)
{
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
}

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
    return runPass(books, progress, [&](BookRow &row) {
        QFile file(row.full_path);
        if (!openBookFile(file))
            return false;
        const BookTimeStamps stamps = bookTimeStamps(clock.now());
        row.file_size = QString::number(file.size());
        row.added_date = stamps.added;
        row.modified_date = stamps.modified;
        return true;
    });
}

QStringList runMetadataPass(BookTable &books, Progress &progress)
{
    const Fb2MetadataReader reader;
    return runPass(books, progress, [&](BookRow &row) {
        const BookKind kind = bookKindOf(row.full_path);
        if (kind != BookKind::Fb2) {
            row.title = row.file_name;
        } else {
            QFile file(row.full_path);
            if (!openBookFile(file))
                return false;
            const QByteArray head = file.read(Fb2HeadSize);
            if (file.error() != QFileDevice::NoError)
                return false;
            const Fb2Metadata metadata = reader.read(head);
            row.author = metadata.author;
            if (metadata.title)
                row.title = *metadata.title;
        }
        row.mime_type = mimeTypeOf(kind);
        return true;
    });
}
