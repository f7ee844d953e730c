#include "booklist/undecodable_names.h"

#ifdef Q_OS_WIN
QStringList undecodableBookFiles(const QString &)
{
    return {};
}
#else
#include "booklist/book_file_kinds.h"
#include "booklist/text_decoding.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace {
struct DirectoryCloser
{
    void operator()(DIR *directory) const { closedir(directory); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

bool isUtf8(const char *name)
{
    thread_local QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    utf8.resetState();
    [[maybe_unused]] const QString text = utf8.decode(QByteArrayView(name));
    return !utf8.hasError();
}

enum class EntryKind { Other, Folder, RegularFile };

// What an entry is; a link counts as the regular file it points to, never as a folder.
EntryKind kindOf(const QByteArray &path)
{
    struct stat entry;
    if (lstat(path.constData(), &entry) != 0)
        return EntryKind::Other;
    if (S_ISDIR(entry.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(entry.st_mode) && stat(path.constData(), &entry) != 0)
        return EntryKind::Other;
    return S_ISREG(entry.st_mode) ? EntryKind::RegularFile : EntryKind::Other;
}

// Lists `path` (shown to the user as `shown`, ending in a separator). Below an undecodable
// folder every book counts; elsewhere only the entries whose own names are not UTF-8.
void collect(const QByteArray &path, const QString &shown, bool everyBook, QStringList &found)
{
    const Directory directory(opendir(path.constData()));
    if (!directory)
        return;
    while (const dirent *entry = readdir(directory.get())) {
        const char *name = entry->d_name;
        if (qstrcmp(name, ".") == 0 || qstrcmp(name, "..") == 0)
            continue;
        const bool undecodable = !isUtf8(name);
        if (!everyBook && !undecodable)
            continue;
        const QByteArray child = path + name;
        const QString shownChild = shown + decodeBookText(QByteArrayView(name));
        switch (kindOf(child)) {
        case EntryKind::Folder:
            collect(child + '/', shownChild + QDir::separator(), true, found);
            break;
        case EntryKind::RegularFile:
            if (hasBookExtension(shownChild))
                found << shownChild;
            break;
        case EntryKind::Other:
            break;
        }
    }
}
} // namespace

QStringList undecodableBookFiles(const QString &folder)
{
    QString shown = folder;
    if (!shown.endsWith(QDir::separator()))
        shown += QDir::separator();
    QStringList found;
    collect(QFile::encodeName(shown), shown, false, found);
    return found;
}
#endif
