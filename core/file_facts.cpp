#include "core/file_facts.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {
constexpr qint64 FatTimeStepMs = 2000;
} // namespace

std::optional<FileFacts> fileFacts(const QString &path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    FileFacts facts;
    // Windows volumes do not tell names apart by case.
    facts.identity.foldedPath = info.canonicalFilePath().toCaseFolded();
    facts.size = info.size();
    facts.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    facts.isRegularFile = info.isFile();
    return facts;
#else
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    FileFacts facts;
    facts.identity.device = quint64(status.st_dev);
    facts.identity.node = quint64(status.st_ino);
    facts.size = qint64(status.st_size);
    facts.modifiedMs = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
    facts.isRegularFile = S_ISREG(status.st_mode);
    return facts;
#endif
}

bool sameModificationTime(qint64 firstMs, qint64 secondMs)
{
    return std::llabs(firstMs - secondMs) < FatTimeStepMs;
}
