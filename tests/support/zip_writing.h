#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Archives written by libzip for tests of what Tessaly reads from them.
struct ZipMember
{
    QByteArray name;
    QByteArray bytes;
    bool encrypted = false; // AES-256 with a password Tessaly is never told
};

// Writes the members, deflated, as the archive `path`. False when libzip refuses (an encryption
// it was built without, say).
bool writeZip(const QString &path, const QList<ZipMember> &members);

// Makes the archive's single entry declare `size` unpacked bytes, in its local header and in
// the central directory, as a crafted archive would.
void declareEntrySize(const QString &path, quint32 size);
