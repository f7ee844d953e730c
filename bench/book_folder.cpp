#include "bench/book_folder.h"

#include "bench/bench.h"
#include "bench/synthetic_books.h"
#include "booklist/book_intake.h"
#include "booklist/book_table.h"
#include "core/clock.h"

#include <QFile>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

void makeBookFolder(const QString &root, int n)
{
    const QByteArray other(2048, 'x');
    for (int i = 0; i < n; ++i) {
        const int folder = i / 100;
        const QString path =
            QStringLiteral("%1/Автор %2/Серия %3/book %4").arg(root).arg(folder / 10).arg(folder % 10).arg(i);
        switch (i % 4) {
        case 0:
            writeBenchFile(path + ".fb2", syntheticFb2(i, i % 8 == 4, 3000));
            break;
        case 1:
            writeBenchFile(path + ".epub", other);
            break;
        case 2:
            writeBenchFile(path + ".pdf", other);
            break;
        default:
            writeBenchFile(path + ".txt", other);
            break;
        }
    }
}

qint64 walkAndStat(const QString &root)
{
    qint64 bytes = 0;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root.toStdString()))
        if (entry.is_regular_file())
            bytes += qint64(entry.file_size());
    return bytes;
}

namespace {
struct CloseFolder
{
    void operator()(DIR *folder) const { closedir(folder); }
};

bool isFb2Name(const char *name)
{
    const std::size_t length = std::strlen(name);
    return length > 4 && strcasecmp(name + length - 4, ".fb2") == 0;
}

// `folder` is an open descriptor the walk takes over.
qint64 walkFolder(int folder, std::vector<char> &head)
{
    const std::unique_ptr<DIR, CloseFolder> entries(fdopendir(folder));
    if (!entries) {
        ::close(folder);
        return -1;
    }
    qint64 bytes = 0;
    while (const dirent *entry = readdir(entries.get())) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat status;
        if (fstatat(dirfd(entries.get()), name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            return -1;
        if (S_ISDIR(status.st_mode)) {
            const int below = openat(dirfd(entries.get()), name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            const qint64 seen = below < 0 ? -1 : walkFolder(below, head);
            if (seen < 0)
                return -1;
            bytes += seen;
        } else if (S_ISREG(status.st_mode)) {
            bytes += status.st_size;
            if (!isFb2Name(name))
                continue;
            const int book = openat(dirfd(entries.get()), name, O_RDONLY | O_CLOEXEC);
            const ssize_t read = book < 0 ? -1 : ::read(book, head.data(), head.size());
            if (book >= 0)
                ::close(book);
            if (read < 0)
                return -1;
        }
    }
    return bytes;
}
} // namespace

qint64 walkStatAndReadHeads(const QString &root, qsizetype headSize)
{
    std::vector<char> head(static_cast<std::size_t>(headSize));
    const int folder = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return folder < 0 ? -1 : walkFolder(folder, head);
}

double timedFolderIntake(const char *name, BookTable &books, Progress &progress, const QString &root, int expectedRows)
{
    const SystemClock clock;
    const double seconds = secondsFor([&] {
        BookIntake intake(books, progress, clock);
        intake.open();
        intake.addPath(root);
        if (!intake.finish().isEmpty())
            failPhase(name, QStringLiteral("books of the folder could not be read"));
    });
    if (books.rowCount() != expectedRows)
        failPhase(name, QStringLiteral("%1 rows for %2 files").arg(books.rowCount()).arg(expectedRows));
    return seconds;
}

WarmBookFolder::WarmBookFolder(const char *phase, int n)
    : dir(QStringLiteral("/tmp/tessaly-bench-%1-XXXXXX").arg(QLatin1String(phase))),
      root(dir.filePath(QStringLiteral("Books")))
{
    makeBookFolder(root, n);
    walkAndStat(root);
}
