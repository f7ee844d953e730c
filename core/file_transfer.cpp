#include "core/file_transfer.h"

#include "core/zipped_fb2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_descriptor.h"
#ifdef Q_OS_LINUX
#include <sys/sendfile.h>
#endif
#endif

namespace {
bool makeParentFolder(const QString &path)
{
    return QDir().mkpath(QFileInfo(path).absolutePath());
}

bool unpacks(const QString &source, const QString &destination)
{
    return isZippedBookName(source) && !isZippedBookName(destination);
}
} // namespace

bool unpackFileOver(const QString &source, const QString &destination)
{
    const QFileInfo archive(source);
    if (!archive.isFile() || !makeParentFolder(destination))
        return false;
    QSaveFile book(destination);
    if (!book.open(QIODevice::WriteOnly))
        return false;
    const bool unpacked =
        unpackZippedFb2(source, [&book](const char *data, qint64 size) { return book.write(data, size) == size; });
    if (!unpacked || !book.flush() || !book.setFileTime(archive.lastModified(), QFileDevice::FileModificationTime)) {
        book.cancelWriting();
        return false;
    }
    return book.commit();
}

#ifdef Q_OS_WIN

namespace {
LPCWSTR wide(const QString &path)
{
    return reinterpret_cast<LPCWSTR>(path.utf16());
}
} // namespace

bool copyFileOver(const QString &source, const QString &destination)
{
    if (unpacks(source, destination))
        return unpackFileOver(source, destination);
    const QString target = QDir::toNativeSeparators(QFileInfo(destination).absoluteFilePath());
    if (!makeParentFolder(target))
        return false;
    // Copied under a name of its own first, then put in place in one step.
    wchar_t partial[MAX_PATH + 1] = {};
    const QString folder = QDir::toNativeSeparators(QFileInfo(target).absolutePath());
    if (GetTempFileNameW(wide(folder), L"tes", 0, partial) == 0)
        return false;
    const QString partialPath = QString::fromWCharArray(partial);
    if (CopyFileW(wide(QDir::toNativeSeparators(source)), wide(partialPath), FALSE)) {
        // A read-only book must not become a read-only copy that the next clearing keeps.
        SetFileAttributesW(wide(partialPath), FILE_ATTRIBUTE_NORMAL);
        if (MoveFileExW(wide(partialPath), wide(target), MOVEFILE_REPLACE_EXISTING))
            return true;
    }
    DeleteFileW(wide(partialPath));
    return false;
}

bool moveWithinVolume(const QString &from, const QString &to)
{
    const QString target = QDir::toNativeSeparators(QFileInfo(to).absoluteFilePath());
    return makeParentFolder(target) &&
           MoveFileExW(wide(QDir::toNativeSeparators(from)), wide(target), MOVEFILE_REPLACE_EXISTING);
}

void flushVolume(const QString &)
{
    // Removable drives are written through by default on Windows.
}

#else

namespace {
bool writeAll(int out, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(out, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool copyContents(int in, int out)
{
#ifdef Q_OS_LINUX
    // The kernel moves the pages itself; a file system that cannot do so answers before the
    // first byte, and the plain loop below takes over.
    bool started = false;
    for (;;) {
        const ssize_t sent = ::sendfile(out, in, nullptr, 1 << 30);
        if (sent > 0) {
            started = true;
            continue;
        }
        if (sent == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (started || (errno != EINVAL && errno != ENOSYS))
            return false;
        break;
    }
#endif
    constexpr ssize_t BufferSize = 1 << 20;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    for (;;) {
        const ssize_t got = ::read(in, buffer.get(), BufferSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!writeAll(out, buffer.get(), got))
            return false;
    }
}
} // namespace

bool copyFileOver(const QString &source, const QString &destination)
{
    if (unpacks(source, destination))
        return unpackFileOver(source, destination);
    if (!makeParentFolder(destination))
        return false;
    // Non-blocking, so a pipe named like a book cannot hold the run up; only regular files copy.
    const FileDescriptor in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status = {};
    if (!in.isOpen() || ::fstat(in.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;

    QByteArray partial = QFile::encodeName(QFileInfo(destination).absolutePath()) + "/.tessaly-copy-XXXXXX";
    FileDescriptor out(::mkstemp(partial.data()));
    if (!out.isOpen())
        return false;
    // Writable whatever the book was: a read-only copy would outlive the next clearing.
    ::fchmod(out.get(), 0644);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    const bool copied = copyContents(in.get(), out.get()) && ::futimens(out.get(), times) == 0;
    if (out.close() && copied && ::rename(partial.constData(), QFile::encodeName(destination).constData()) == 0)
        return true;
    ::unlink(partial.constData());
    return false;
}

bool moveWithinVolume(const QString &from, const QString &to)
{
    return makeParentFolder(to) &&
           ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

void flushVolume(const QString &path)
{
#ifdef Q_OS_LINUX
    const FileDescriptor volume(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (volume.isOpen())
        ::syncfs(volume.get());
#else
    Q_UNUSED(path);
    ::sync();
#endif
}

#endif
