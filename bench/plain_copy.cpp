#include "bench/plain_copy.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string sourceRoot;
std::string targetRoot;
bool copyFailed = false;

int removeEntry(const char *path, const struct stat *, int kind, struct FTW *where)
{
    if (where->level == 0)
        return 0;
    if (kind == FTW_DP)
        ::rmdir(path);
    else
        ::unlink(path);
    return 0;
}

bool copyContents(int in, int out, off_t size)
{
    while (size > 0) {
        ssize_t moved = ::copy_file_range(in, nullptr, out, nullptr, size_t(size), 0);
        if (moved < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            moved = ::sendfile(out, in, nullptr, size_t(size));
        if (moved <= 0)
            return false;
        size -= moved;
    }
    return true;
}

int copyEntry(const char *path, const struct stat *status, int kind, struct FTW *)
{
    const std::string target = targetRoot + (path + sourceRoot.size());
    if (kind == FTW_D) {
        ::mkdir(target.c_str(), 0755);
        return 0;
    }
    const int in = ::open(path, O_RDONLY | O_CLOEXEC);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (in < 0 || out < 0 || !copyContents(in, out, status->st_size))
        copyFailed = true;
    if (in >= 0)
        ::close(in);
    if (out >= 0)
        ::close(out);
    return 0;
}
} // namespace

void clearPlainly(const QString &folder)
{
    ::nftw(QFile::encodeName(folder).constData(), removeEntry, 64, FTW_DEPTH | FTW_PHYS);
}

bool copyPlainly(const QString &from, const QString &to)
{
    sourceRoot = QFile::encodeName(from).toStdString();
    targetRoot = QFile::encodeName(to).toStdString();
    copyFailed = false;
    ::nftw(sourceRoot.c_str(), copyEntry, 64, FTW_PHYS);
    return !copyFailed;
}

#else
#include <QDir>
#include <QDirIterator>
#include <QFile>

void clearPlainly(const QString &folder)
{
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &entry : entries)
        if (!QFile::remove(QDir(folder).filePath(entry)))
            QDir(QDir(folder).filePath(entry)).removeRecursively();
}

bool copyPlainly(const QString &from, const QString &to)
{
    bool copied = QDir().mkpath(to);
    QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString target = to + files.next().mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        copied = QFile::copy(files.filePath(), target) && copied;
    }
    return copied;
}
#endif
