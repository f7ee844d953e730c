#include "core/file_digest.h"

#include <QFile>
#include <QHashFunctions>

#include <vector>

namespace {
constexpr qint64 ChunkBytes = qint64(1) << 20;
constexpr size_t Seed = 0xd16e57f11eull;
} // namespace

std::optional<quint64> fileContentDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    std::vector<char> chunk(ChunkBytes);
    size_t digest = qHash(file.size(), Seed);
    for (;;) {
        const qint64 read = file.read(chunk.data(), ChunkBytes);
        if (read < 0)
            return std::nullopt;
        if (read == 0)
            break;
        digest = qHashBits(chunk.data(), size_t(read), digest);
    }
    return quint64(digest);
}
