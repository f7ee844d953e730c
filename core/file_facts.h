#pragma once

#include <QHashFunctions>
#include <QString>

#include <optional>

// Tells one file from another on its volume, whatever name or link reaches it: two paths of one
// file (a link, or a name in other letter case on the reader's FAT volume) give equal identities.
struct FileIdentity
{
    quint64 device = 0;
    quint64 node = 0;
    QString foldedPath; // where the system has no file numbers: the resolved path, case-folded

    bool operator==(const FileIdentity &) const = default;
};

inline size_t qHash(const FileIdentity &identity, size_t seed = 0)
{
    return qHashMulti(seed, identity.device, identity.node, identity.foldedPath);
}

// What one look at a file tells, following links.
struct FileFacts
{
    FileIdentity identity;
    qint64 size = 0;
    qint64 modifiedMs = 0; // milliseconds since 1970
    bool isRegularFile = false;
};

// Nothing when no file or folder is there (a broken link included).
std::optional<FileFacts> fileFacts(const QString &path);

// Whether a copy still carries its source's modification time: FAT keeps times to two seconds.
bool sameModificationTime(qint64 firstMs, qint64 secondMs);
