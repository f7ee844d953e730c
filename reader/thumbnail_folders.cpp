#include "reader/thumbnail_folders.h"

#include "reader/reader_layout.h"

#ifdef Q_OS_WIN
#include <QDirIterator>
#else
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>
#endif

#include <charconv>
#include <cstring>

namespace {
// The record id a folder's name gives: its decimal text exactly, as the reader writes it.
qint64 recordIdOf(const char *name, size_t length)
{
    qint64 id = 0;
    if (length == 0 || name[0] == '0')
        return 0;
    const auto [end, error] = std::from_chars(name, name + length, id);
    return error == std::errc() && end == name + length ? id : 0;
}
} // namespace

ThumbnailFolders ThumbnailFolders::read(const QString &deviceRoot)
{
    ThumbnailFolders folders;
    const QString path = ReaderLayout::thumbnailsFolderPath(deviceRoot);
#ifdef Q_OS_WIN
    QDirIterator entries(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        const QByteArray name = entry.fileName().toLatin1();
        const qint64 id = entry.isDir() && !entry.isSymLink() && !entry.isJunction()
                              ? recordIdOf(name.constData(), size_t(name.size()))
                              : 0;
        if (id > 0)
            folders.m_ids.insert(id);
        else
            folders.m_others << entry.fileName();
    }
#else
    const auto closeFolder = [](DIR *folder) { closedir(folder); };
    const std::unique_ptr<DIR, decltype(closeFolder)> listing(opendir(QFile::encodeName(path).constData()),
                                                              closeFolder);
    if (!listing)
        return folders;
    while (const dirent *entry = readdir(listing.get())) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            // A file system that does not give the kind in the listing: that entry is looked at.
            struct stat status;
            isFolder =
                fstatat(dirfd(listing.get()), name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
        }
        const qint64 id = isFolder ? recordIdOf(name, std::strlen(name)) : 0;
        if (id > 0)
            folders.m_ids.insert(id);
        else
            folders.m_others << QFile::decodeName(name);
    }
#endif
    return folders;
}
