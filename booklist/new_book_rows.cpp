#include "booklist/new_book_rows.h"

#include "booklist/relative_path.h"
#include "core/zipped_fb2.h"

#include <QDir>

namespace {
// A zipped book is named on the reader, and so in the list, as the FB2 book it unpacks to.
BookRow unpackedIfZipped(BookRow row)
{
    if (!isZippedBookName(row.file_name))
        return row;
    row.relative_path = unpackedBookName(row.relative_path);
    row.file_name = unpackedBookName(row.file_name);
    row.display_name = nameWithoutExtension(row.file_name);
    return row;
}
} // namespace

BookRow scannedBookRow(const QString &folder, const QString &fileName, const QString &scanRoot)
{
    BookRow row;
    row.full_path = folder + fileName;
    row.root = scanRoot;
    row.relative_path = relativeBookPath(row.full_path, scanRoot);
    row.display_name = nameWithoutExtension(fileName);
    row.file_name = fileName;
    return unpackedIfZipped(std::move(row));
}

BookRow singleBookRow(const QString &filePath)
{
    const qsizetype separator = filePath.lastIndexOf(QDir::separator());
    const QString folder = filePath.left(separator + 1);
    BookRow row;
    row.full_path = filePath;
    row.root = containingFolder(filePath);
    row.relative_path = relativeBookPath(filePath, folder);
    row.file_name = filePath.mid(separator + 1);
    row.display_name = nameWithoutExtension(row.file_name);
    return unpackedIfZipped(std::move(row));
}
