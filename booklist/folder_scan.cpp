#include "booklist/folder_scan.h"

#include "booklist/book_file_kinds.h"
#include "booklist/book_table.h"
#include "booklist/new_book_rows.h"
#include "booklist/undecodable_names.h"
#include "core/progress.h"
#include "core/zipped_fb2.h"

#include <QDir>
#include <QDirIterator>

namespace {
void scanInto(const QString &folder, const QString &scanRoot, BookTable &books, Progress &progress, bool zippedBooks,
              QStringList &undecodable)
{
    undecodable += undecodableBookFiles(folder);
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        const QString name = entry.fileName();
        if (entry.isDir()) {
            if (!entry.isSymLink() && !entry.isJunction())
                scanInto(folder + name + QDir::separator(), scanRoot, books, progress, zippedBooks, undecodable);
            continue;
        }
        // Only regular files are books, not a pipe or device named like one.
        if (!(hasBookExtension(name) || (zippedBooks && isZippedBookName(name))) || !entry.isFile())
            continue;
        books.append(scannedBookRow(folder, name, scanRoot));
        progress.processEvents();
    }
}
} // namespace

QStringList scanFolder(const QString &folder, const QString &scanRoot, BookTable &books, Progress &progress,
                       bool zippedBooks)
{
    if (folder.isEmpty())
        return {};
    QString start = QDir::toNativeSeparators(folder);
    if (!start.endsWith(QDir::separator()))
        start += QDir::separator();
    QStringList undecodable;
    scanInto(start, scanRoot, books, progress, zippedBooks, undecodable);
    return undecodable;
}
