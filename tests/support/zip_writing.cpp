#include "support/zip_writing.h"

#include <QFile>

#include <zip.h>

bool writeZip(const QString &path, const QList<ZipMember> &members)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    bool written = true;
    for (const ZipMember &member : members) {
        zip_source_t *source =
            zip_source_buffer(archive, member.bytes.constData(), zip_uint64_t(member.bytes.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, member.name.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            written = false;
            break;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 0);
        if (member.encrypted && zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256, "не скажем") != 0)
            written = false;
    }
    if (!written) {
        zip_discard(archive);
        return false;
    }
    return zip_close(archive) == 0;
}

void declareEntrySize(const QString &path, quint32 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return;
    QByteArray bytes = file.readAll();
    const auto patch = [&](const QByteArray &signature, int offset) {
        const qsizetype at = bytes.indexOf(signature);
        if (at < 0)
            return;
        for (int i = 0; i < 4; ++i)
            bytes[at + offset + i] = char((size >> (8 * i)) & 0xFF);
    };
    patch(QByteArrayLiteral("PK\x03\x04"), 22);
    patch(QByteArrayLiteral("PK\x01\x02"), 24);
    file.seek(0);
    file.write(bytes);
}
