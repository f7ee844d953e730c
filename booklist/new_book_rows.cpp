#include "booklist/new_book_rows.h"

#include "booklist/relative_path.h"

#include <QDir>

BookRow scannedBookRow(const QString &folder, const QString &fileName, const QString &scanRoot)
{
    BookRow row;
    row.full_path = folder + fileName;
    row.root = scanRoot;
    row.relative_path = relativeBookPath(row.full_path, scanRoot);
    row.display_name = nameWithoutExtension(fileName);
    row.file_name = fileName;
    return row;
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
    return row;
}
