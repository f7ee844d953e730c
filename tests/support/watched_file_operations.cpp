#include "support/watched_file_operations.h"

#include <QFileInfo>

bool WatchedFileOperations::admit(const QString &kind, const QString &path)
{
    calls << kind + QLatin1Char(' ') + path;
    return !before || before(int(calls.size()) - 1, calls.last());
}

bool WatchedFileOperations::copyFile(const QString &source, const QString &destination)
{
    if (!admit(QStringLiteral("copy"), destination) || !FileOperations::copyFile(source, destination))
        return false;
    ++copies;
    bytesCopied += QFileInfo(destination).size();
    return true;
}

bool WatchedFileOperations::move(const QString &from, const QString &to)
{
    return admit(QStringLiteral("move"), from + QStringLiteral(" -> ") + to) && FileOperations::move(from, to);
}

bool WatchedFileOperations::removeFile(const QString &path)
{
    return admit(QStringLiteral("remove"), path) && FileOperations::removeFile(path);
}

bool WatchedFileOperations::removeFolder(const QString &path)
{
    return admit(QStringLiteral("rmdir"), path) && FileOperations::removeFolder(path);
}

bool WatchedFileOperations::makeFolder(const QString &path)
{
    return admit(QStringLiteral("mkdir"), path) && FileOperations::makeFolder(path);
}

bool WatchedFileOperations::writeFile(const QString &path, const QByteArray &bytes)
{
    if (!admit(QStringLiteral("write"), path) || !FileOperations::writeFile(path, bytes))
        return false;
    bytesWritten += bytes.size();
    return true;
}

void WatchedFileOperations::flush(const QString &path)
{
    if (admit(QStringLiteral("flush"), path))
        FileOperations::flush(path);
}
