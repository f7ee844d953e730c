#include "collections/file_list_editing.h"

#include "booklist/book_file_kinds.h"
#include "collections/selection_range.h"
#include "collections/shown_books.h"
#include "core/dialogs.h"
#include "core/file_opener.h"
#include "reader/reader_layout.h"

#include <QFileInfo>
#include <QHash>

namespace {
// A link named like a book opens what it points to, so that must be a book too.
bool isOpenableBook(const QString &path)
{
    const QFileInfo file(path);
    if (!hasBookExtension(path) || !file.isFile())
        return false;
    return !file.isSymLink() || hasBookExtension(file.canonicalFilePath());
}
} // namespace

PageUpdate removeFileListRows(LibraryPage &page, Dialogs &dialogs, int first, int count)
{
    if (!page.fileListTakesDelete() || !clipSelection(first, count, page.books.rowCount()))
        return {};
    const QString question = count == 1 ? QStringLiteral("Вы действительно хотите удалить выделенный файл?")
                                        : QStringLiteral("Вы действительно хотите удалить выделенные файлы");
    if (!dialogs.confirm(QStringLiteral("Подтверждение удаления файлов"), question))
        return {};

    // Each removed book counts down the first collection of its name, once.
    QHash<QString, int> rowOfCollection;
    for (int row = page.collections.rowCount() - 1; row >= 0; --row)
        rowOfCollection.insert(page.collections.row(row).name, row);
    QHash<int, int> removedFrom;
    for (int row = first; row < first + count; ++row) {
        const QString &collection = page.books.row(row).collection;
        // An empty `collection` is no collection, not a member of one named "".
        if (collection.isEmpty())
            continue;
        const auto found = rowOfCollection.constFind(collection);
        if (found != rowOfCollection.cend())
            ++removedFrom[*found];
    }
    for (auto removed = removedFrom.cbegin(); removed != removedFrom.cend(); ++removed)
        page.collections.adjustBookCount(removed.key(), -removed.value());
    page.books.removeRowRange(first, count);

    PageUpdate update{.rerunStatistics = true};
    if (page.books.rowCount() == 0)
        page.books.clear();
    else
        update.selectFileRow = 0;
    if (page.collections.rowCount() > 0) {
        showCollectionBooks(page, 0);
        update.selectCollectionRow = 0;
    }
    return update;
}

void openFileListBook(const LibraryPage &page, FileOpener &opener, int row, const QString &readerRootNow)
{
    if (row < 0 || row >= page.books.rowCount())
        return;
    const QString path = bookFileNow(page, page.books.row(row).full_path, readerRootNow);
    if (isOpenableBook(path))
        opener.open(path);
}

QString bookFileNow(const LibraryPage &page, const QString &fullPath, const QString &readerRootNow)
{
    const QString &loadedFrom = page.reader.deviceRoot;
    if (!readerRootNow.isEmpty() && !loadedFrom.isEmpty() && readerRootNow != loadedFrom &&
        fullPath.startsWith(loadedFrom))
        return ReaderLayout::onDevice(readerRootNow, ReaderLayout::storedPathOf(loadedFrom, fullPath));
    return fullPath;
}
