#include "booklist/book_file_head.h"

#include "core/zipped_fb2.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/buffer_fill.h"
#include "core/file_descriptor.h"
#endif

#ifdef Q_OS_WIN
std::optional<QByteArray> readBookHead(const QString &path, qsizetype limit)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    QByteArray head(limit, Qt::Uninitialized);
    const qint64 got = file.read(head.data(), limit);
    if (got < 0)
        return std::nullopt;
    head.truncate(got);
    return head;
}
#else
std::optional<QByteArray> readBookHead(const QString &path, qsizetype limit)
{
    // Opening without blocking, then checking what was opened, takes one path lookup.
    const FileDescriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return fillBuffer(qsizetype(std::min<qint64>(limit, status.st_size)), [&file](char *into, qsizetype size) {
        ssize_t chunk;
        do
            chunk = ::read(file.get(), into, size_t(size));
        while (chunk < 0 && errno == EINTR);
        return qint64(chunk);
    });
}
#endif

std::optional<QByteArray> readFb2Head(const QString &path, qsizetype limit)
{
    return isZippedBookName(path) ? zippedFb2Head(path, limit) : readBookHead(path, limit);
}
