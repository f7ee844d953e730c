#include "booklist/relative_path.h"

#include "booklist/book_file_kinds.h"

#include <QDir>

namespace {
// Characters a FAT volume cannot hold in a name.
bool isFatUnsafe(char16_t c)
{
    switch (c) {
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
    case 0x7F:
        return true;
    default:
        return c < 0x20;
    }
}

bool startsWithDrive(QStringView path)
{
    return path.size() >= 2 && path[1] == u':' && path[0].isLetter();
}

// The last separator of `path` before its final character, or -1.
qsizetype lastInnerSeparator(const QString &path)
{
    if (path.size() < 2)
        return -1;
    return path.lastIndexOf(QDir::separator(), path.size() - 2);
}
} // namespace

QString relativeBookPath(const QString &path, const QString &base)
{
    const QChar separator = QDir::separator();
    // The parent of the base: everything before its last separator, when there is anything.
    const qsizetype parentEnd = lastInnerSeparator(base);
    qsizetype start = 0;
    if (parentEnd > 0) {
        const QStringView parent = QStringView(base).first(parentEnd);
        const qsizetype at = path.startsWith(parent) ? 0 : path.indexOf(parent);
        if (at >= 0)
            start = std::min(at + parentEnd + 1, path.size());
    }
    const QStringView rest = QStringView(path).sliced(start);

    QString result;
    result.reserve(rest.size());
    qsizetype i = 0;
    // Only a path that begins with its drive (a drive root added) has a designator to drop.
    if (parentEnd <= 0 && startsWithDrive(rest)) {
        result += rest[0];
        i = 2;
    }
    for (; i < rest.size(); ++i) {
        const QChar c = rest[i];
        if (c != separator)
            result += isFatUnsafe(c.unicode()) ? QChar(u'_') : c;
        else if (!result.isEmpty() && !result.endsWith(separator)) // empty components have no name to keep
            result += separator;
    }
    if (result.endsWith(separator))
        result.chop(1);
    return result;
}

QString nameWithoutExtension(const QString &name)
{
    const QStringView extension = fileExtension(name);
    if (extension.isEmpty())
        return name;
    return name.left(name.indexOf(extension));
}

QString containingFolder(const QString &filePath)
{
    const qsizetype separator = filePath.lastIndexOf(QDir::separator());
    if (separator < 0)
        return QString();
    if (separator == 0)
        return QString(QDir::separator());
    return filePath.left(separator);
}
