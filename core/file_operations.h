#pragma once

#include <QByteArray>
#include <QString>

// Every change a synchronisation makes to files on the reader goes through here, one call per
// file or folder. The calls do the real work; a test or the benchmark derives from this class
// to count them, to stop the run at any one of them, or to make one fail. None throws: each
// answers whether it worked.
class FileOperations
{
public:
    virtual ~FileOperations() = default;

    // Copies a book file whole or not at all, keeping its modification time, a zipped FB2 book
    // unpacked (copyFileOver).
    virtual bool copyFile(const QString &source, const QString &destination);
    // Renames a file or folder on the same volume, creating the folders of `to` and replacing
    // a file there (moveWithinVolume). Never copies.
    virtual bool move(const QString &from, const QString &to);
    virtual bool removeFile(const QString &path);
    // Removes a folder that is empty; fails otherwise.
    virtual bool removeFolder(const QString &path);
    // Creates a folder with every missing parent.
    virtual bool makeFolder(const QString &path);
    // Writes `bytes` as the file `path`, replacing one there; what could not be written whole is removed.
    virtual bool writeFile(const QString &path, const QByteArray &bytes);
    // Writes what the system still holds for the volume under `path` to the medium (flushVolume).
    virtual void flush(const QString &path);
};
