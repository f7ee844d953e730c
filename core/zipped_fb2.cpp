#include "core/zipped_fb2.h"

#include "core/zip_archive.h"

#include <QByteArrayList>

namespace {
bool endsWithAscii(QStringView text, QLatin1StringView suffix)
{
    return text.endsWith(suffix, Qt::CaseInsensitive);
}

bool isFolder(const QByteArray &name)
{
    return name.endsWith('/');
}

// An entry name that starts at the root or climbs out of the archive with "..".
bool climbsOut(const QByteArray &name)
{
    const QByteArray path = QByteArray(name).replace('\\', '/');
    if (path.startsWith('/') || (path.size() > 1 && path.at(1) == ':'))
        return true;
    for (const QByteArray &part : path.split('/'))
        if (part == "..")
            return true;
    return false;
}

ZippedFb2 unfit(const QString &problem)
{
    ZippedFb2 book;
    book.problem = problem;
    return book;
}
} // namespace

bool isZippedBookName(QStringView path)
{
    return endsWithAscii(path, QLatin1StringView(".zip"));
}

QString unpackedBookName(QStringView archiveName)
{
    QString name = archiveName.chopped(4).toString();
    if (!endsWithAscii(name, QLatin1StringView(".fb2")))
        name += QStringLiteral(".fb2");
    return name;
}

ZippedFb2 zippedFb2In(const ZipArchive &archive)
{
    std::optional<ZipArchive::Entry> book;
    qint64 bookIndex = -1;
    for (qint64 i = 0; i < archive.entryCount(); ++i) {
        const std::optional<ZipArchive::Entry> entry = archive.entry(i);
        if (!entry)
            return unfit(QStringLiteral("архив поврежден"));
        if (climbsOut(entry->name))
            return unfit(QStringLiteral("путь файла в архиве выходит за его пределы"));
        if (isFolder(entry->name))
            continue;
        if (book)
            return unfit(QStringLiteral("в архиве несколько файлов, а должна быть одна книга FB2"));
        book = entry;
        bookIndex = i;
    }
    if (!book || !endsWithAscii(QString::fromUtf8(book->name), QLatin1StringView(".fb2")))
        return unfit(QStringLiteral("в архиве нет книги FB2"));
    if (book->encrypted)
        return unfit(QStringLiteral("книга в архиве зашифрована"));
    if (!book->readable)
        return unfit(QStringLiteral("книга в архиве сжата неизвестным способом"));
    if (book->size > ZippedFb2MaxBytes)
        return unfit(QStringLiteral("книга в архиве распаковывается больше чем в %1 МБ").arg(ZippedFb2MaxBytes >> 20));
    ZippedFb2 fit;
    fit.entry = bookIndex;
    fit.size = book->size;
    return fit;
}

namespace {
std::optional<std::pair<ZipArchive, ZippedFb2>> openBook(const QString &path)
{
    std::optional<ZipArchive> archive = ZipArchive::open(path);
    if (!archive)
        return std::nullopt;
    ZippedFb2 book = zippedFb2In(*archive);
    if (book.entry < 0)
        return std::nullopt;
    return std::pair<ZipArchive, ZippedFb2>(std::move(*archive), book);
}
} // namespace

ZippedFb2 checkZippedFb2(const QString &path)
{
    const std::optional<ZipArchive> archive = ZipArchive::open(path);
    if (!archive)
        return unfit(QStringLiteral("файл поврежден или это не ZIP-архив"));
    ZippedFb2 book = zippedFb2In(*archive);
    if (book.entry >= 0 && book.size > 0 && !archive->readHead(book.entry, 1))
        return unfit(QStringLiteral("книга в архиве повреждена"));
    return book;
}

std::optional<qint64> zippedFb2Size(const QString &path)
{
    const auto book = openBook(path);
    return book ? std::optional<qint64>(book->second.size) : std::nullopt;
}

std::optional<QByteArray> zippedFb2Head(const QString &path, qint64 count)
{
    const auto book = openBook(path);
    return book ? book->first.readHead(book->second.entry, count) : std::nullopt;
}

std::optional<QByteArray> zippedFb2Text(const QString &path)
{
    const auto book = openBook(path);
    return book ? book->first.read(book->second.entry, ZippedFb2MaxBytes) : std::nullopt;
}

bool unpackZippedFb2(const QString &path, const std::function<bool(const char *, qint64)> &sink)
{
    const auto book = openBook(path);
    return book && book->first.readInto(book->second.entry, ZippedFb2MaxBytes, sink);
}
