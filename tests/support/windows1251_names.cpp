#include "support/windows1251_names.h"

#include <QFile>
#include <QStringEncoder>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool makeWindows1251Entry(const QString &folder, const QString &relative)
{
#ifdef Q_OS_UNIX
    QStringEncoder encoder("windows-1251");
    const QByteArray path = QFile::encodeName(folder) + '/' + QByteArray(encoder.encode(relative));
    if (path.endsWith('/'))
        return mkdir(path.constData(), 0700) == 0;
    const int file = open(path.constData(), O_CREAT | O_WRONLY, 0600);
    if (file < 0)
        return false;
    const bool written = write(file, "book", 4) == 4;
    return close(file) == 0 && written;
#else
    Q_UNUSED(folder);
    Q_UNUSED(relative);
    return false;
#endif
}

void removeTreeOfAnyNames(const QString &folder)
{
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(folder).toStdString(), ignored);
}
