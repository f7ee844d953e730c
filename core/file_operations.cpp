#include "core/file_operations.h"

#include "core/file_transfer.h"

#include <QDir>
#include <QFile>

bool FileOperations::copyFile(const QString &source, const QString &destination)
{
    return copyFileOver(source, destination);
}

bool FileOperations::move(const QString &from, const QString &to)
{
    return moveWithinVolume(from, to);
}

bool FileOperations::removeFile(const QString &path)
{
    return QFile::remove(path);
}

bool FileOperations::removeFolder(const QString &path)
{
    return QDir().rmdir(path);
}

bool FileOperations::makeFolder(const QString &path)
{
    return QDir().mkpath(path);
}

bool FileOperations::writeFile(const QString &path, const QByteArray &bytes)
{
    // A new file rather than a truncated one: ext4 forces a truncated and rewritten file to disk at close.
    QFile::remove(path);
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (written && file.error() == QFileDevice::NoError)
        return true;
    QFile::remove(path);
    return false;
}

void FileOperations::flush(const QString &path)
{
    flushVolume(path);
}
