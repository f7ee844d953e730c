#include "core/zip_archive.h"

#include "core/buffer_fill.h"

#include <QFile>

#include <zip.h>

namespace {
constexpr qint64 BlockSize = 64 * 1024;

struct FileCloser
{
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using ZipFile = std::unique_ptr<zip_file_t, FileCloser>;

QByteArray pathForLibzip(const QString &path)
{
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}
} // namespace

void ZipArchive::Closer::operator()(zip *archive) const
{
    zip_discard(archive);
}

std::optional<ZipArchive> ZipArchive::open(const QString &path)
{
    int error = 0;
    zip *archive = zip_open(pathForLibzip(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return std::nullopt;
    return ZipArchive(archive);
}

std::optional<ZipArchive> ZipArchive::openBytes(QByteArrayView bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &error);
    zip *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (!archive && source)
        zip_source_free(source);
    zip_error_fini(&error);
    if (!archive)
        return std::nullopt;
    return ZipArchive(archive);
}

qint64 ZipArchive::entryCount() const
{
    return qint64(zip_get_num_entries(m_archive.get(), 0));
}

std::optional<ZipArchive::Entry> ZipArchive::entry(qint64 index) const
{
    zip_stat_t status;
    zip_stat_init(&status);
    if (zip_stat_index(m_archive.get(), zip_uint64_t(index), ZIP_FL_ENC_GUESS, &status) != 0 ||
        !(status.valid & ZIP_STAT_NAME) || !(status.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    Entry entry;
    entry.name = QByteArray(status.name);
    entry.size = status.size > zip_uint64_t(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                                                : qint64(status.size);
    entry.encrypted = (status.valid & ZIP_STAT_ENCRYPTION_METHOD) && status.encryption_method != ZIP_EM_NONE;
    entry.readable = !entry.encrypted && (status.valid & ZIP_STAT_COMP_METHOD) &&
                     zip_compression_method_supported(status.comp_method, 0);
    return entry;
}

std::optional<qint64> ZipArchive::find(const QByteArray &name) const
{
    const zip_int64_t index = zip_name_locate(m_archive.get(), name.constData(), ZIP_FL_ENC_GUESS);
    if (index < 0)
        return std::nullopt;
    return qint64(index);
}

bool ZipArchive::readInto(qint64 index, qint64 limit, const std::function<bool(const char *, qint64)> &sink) const
{
    const std::optional<Entry> stated = entry(index);
    if (!stated || !stated->readable || stated->size > limit)
        return false;
    const ZipFile file(zip_fopen_index(m_archive.get(), zip_uint64_t(index), 0));
    if (!file)
        return false;
    // One byte past the declared size is asked for, so an entry that would inflate further is caught.
    QByteArray block(BlockSize, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), block.data(), zip_uint64_t(block.size()));
        if (got < 0)
            return false;
        if (got == 0)
            break;
        total += got;
        if (total > stated->size || !sink(block.constData(), got))
            return false;
    }
    // libzip checks the checksum when the last byte is read.
    return total == stated->size;
}

std::optional<QByteArray> ZipArchive::read(qint64 index, qint64 limit) const
{
    QByteArray bytes;
    if (const std::optional<Entry> stated = entry(index); stated && stated->size <= limit)
        bytes.reserve(stated->size);
    const bool whole = readInto(index, limit, [&bytes](const char *data, qint64 size) {
        bytes.append(data, size);
        return true;
    });
    if (!whole)
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> ZipArchive::readHead(qint64 index, qint64 count) const
{
    const std::optional<Entry> stated = entry(index);
    if (!stated || !stated->readable)
        return std::nullopt;
    const ZipFile file(zip_fopen_index(m_archive.get(), zip_uint64_t(index), 0));
    if (!file)
        return std::nullopt;
    return fillBuffer(std::min(count, stated->size), [&file](char *into, qsizetype size) {
        return qint64(zip_fread(file.get(), into, zip_uint64_t(size)));
    });
}
