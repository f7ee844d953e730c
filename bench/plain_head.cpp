#include "bench/plain_head.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

qint64 readHeadPlainly(const QString &path, char *buffer, qint64 size)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (file < 0)
        return 0;
    qint64 got = 0;
    ssize_t chunk = 0;
    while (got < size && (chunk = ::read(file, buffer + got, size_t(size - got))) > 0)
        got += chunk;
    ::close(file);
    return got;
}
