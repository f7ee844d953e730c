#pragma once

#include "core/file_operations.h"

#include <QStringList>

#include <functional>

// The reader's real file operations, each call recorded as "kind path" before it runs. A test may
// act before a call (fill the volume, kill the process) or refuse it; it then fails untouched.
class WatchedFileOperations : public FileOperations
{
public:
    QStringList calls;
    int copies = 0;
    qint64 bytesCopied = 0;  // of the copies that succeeded
    qint64 bytesWritten = 0; // of the files written whole (thumbnails and lists)
    // Called with the 0-based number of the call and its record; false refuses the call.
    std::function<bool(int index, const QString &call)> before;

    bool copyFile(const QString &source, const QString &destination) override;
    bool move(const QString &from, const QString &to) override;
    bool removeFile(const QString &path) override;
    bool removeFolder(const QString &path) override;
    bool makeFolder(const QString &path) override;
    bool writeFile(const QString &path, const QByteArray &bytes) override;
    void flush(const QString &path) override;

private:
    bool admit(const QString &kind, const QString &path);
};
