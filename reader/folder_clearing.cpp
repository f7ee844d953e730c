#include "reader/folder_clearing.h"

#include "core/file_operations.h"

#include <QDir>

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

bool kept(const KeepEntry &keep, const QFileInfo &entry)
{
    return keep && keep(entry);
}

class Clearing
{
public:
    Clearing(FileOperations &files, const std::function<void()> &beforeSubfolder, const KeepEntry &keep)
        : m_files(files), m_beforeSubfolder(beforeSubfolder), m_keep(keep)
    {}

    // Returns how many files stayed that were not kept; `emptied` tells whether nothing at all is left.
    int clear(const QString &folder, bool &emptied)
    {
        int stayed = 0;
        emptied = true;
        const QFileInfoList entries = QDir(folder).entryInfoList(EveryEntry, QDir::NoSort);
        for (const QFileInfo &entry : entries)
            emptied = remove(entry, stayed) && emptied;
        return stayed;
    }

    // Removes `entry` with what it holds, unless kept; true when it is gone. Counts into `stayed`
    // the files that stayed that were not kept.
    bool remove(const QFileInfo &entry, int &stayed)
    {
        if (kept(m_keep, entry))
            return false;
        if (isLink(entry)) {
            // A junction or a link to a folder on Windows is removed as a folder.
            const bool gone =
                m_files.removeFile(entry.absoluteFilePath()) || m_files.removeFolder(entry.absoluteFilePath());
            stayed += gone ? 0 : 1;
            return gone;
        }
        if (entry.isDir()) {
            if (m_beforeSubfolder)
                m_beforeSubfolder();
            bool subfolderEmptied = false;
            stayed += clear(entry.absoluteFilePath(), subfolderEmptied);
            // A folder with something kept or stayed below it stays too.
            return subfolderEmptied && m_files.removeFolder(entry.absoluteFilePath());
        }
        const bool gone = !isReadOnlyFile(entry) && m_files.removeFile(entry.absoluteFilePath());
        stayed += gone ? 0 : 1;
        return gone;
    }

private:
    FileOperations &m_files;
    const std::function<void()> &m_beforeSubfolder;
    const KeepEntry &m_keep;
};
} // namespace

int clearFolderTree(const QString &folder, FileOperations &files, const std::function<void()> &beforeSubfolder,
                    const KeepEntry &keep)
{
    if (!QFileInfo(folder).isDir())
        return 0;
    bool emptied = false;
    return Clearing(files, beforeSubfolder, keep).clear(folder, emptied);
}

bool removeEntryTree(const QString &path, FileOperations &files, const std::function<void()> &beforeSubfolder)
{
    const QFileInfo entry(path);
    if (!entry.exists() && !entry.isSymLink())
        return true;
    int stayed = 0;
    return Clearing(files, beforeSubfolder, {}).remove(entry, stayed);
}
