#include "device/folder_clearing.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
// Hidden and system entries, broken links included, go like any other.
constexpr QDir::Filters EveryEntry = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

bool isLink(const QFileInfo &entry)
{
    return entry.isSymLink() || entry.isJunction();
}

// The reader's file system marks read-only files by their missing write permission. Checking the
// permission itself keeps them even for a user, such as root, whom the system would let delete them.
bool isReadOnlyFile(const QFileInfo &entry)
{
    return !(entry.permissions() & QFileDevice::WriteOwner);
}

bool removeLink(const QFileInfo &link)
{
    // A junction or a link to a folder on Windows is removed as a folder.
    return QFile::remove(link.absoluteFilePath()) || QDir().rmdir(link.absoluteFilePath());
}

int clearContents(const QString &folder, const std::function<void()> &beforeSubfolder)
{
    int kept = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(EveryEntry, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        if (isLink(entry)) {
            if (!removeLink(entry))
                ++kept;
        } else if (entry.isDir()) {
            if (beforeSubfolder)
                beforeSubfolder();
            kept += clearContents(entry.absoluteFilePath(), beforeSubfolder);
            // Fails, as it should, when something below stayed.
            QDir().rmdir(entry.absoluteFilePath());
        } else if (isReadOnlyFile(entry) || !QFile::remove(entry.absoluteFilePath())) {
            ++kept;
        }
    }
    return kept;
}
} // namespace

int clearFolderTree(const QString &folder, const std::function<void()> &beforeSubfolder)
{
    if (!QFileInfo(folder).isDir())
        return 0;
    return clearContents(folder, beforeSubfolder);
}

qint64 bytesFreedByClearing(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return 0;
    qint64 bytes = 0;
    // Links are listed but never followed, the same as the clearing does.
    QDirIterator entries(folder, EveryEntry, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        if (!isLink(entry) && entry.isFile() && !isReadOnlyFile(entry))
            bytes += entry.size();
    }
    return bytes;
}
