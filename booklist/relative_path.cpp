#include "booklist/relative_path.h"

#include "booklist/book_file_kinds.h"

#include <QDir>
#include <QStringList>

namespace {
bool isDriveDesignator(const QString &component)
{
    return component.size() == 2 && component[1] == u':' && component[0].isLetter();
}

// The last separator of `path` before its final character, or -1.
qsizetype lastInnerSeparator(const QString &path)
{
    if (path.size() < 2)
        return -1;
    return path.lastIndexOf(QDir::separator(), path.size() - 2);
}
} // namespace

QString fatSafeName(QString name)
{
    for (QChar &c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || QStringView(u"\\/:*?\"<>|").contains(c))
            c = u'_';
    }
    return name;
}

QString relativeBookPath(const QString &path, const QString &base)
{
    const qsizetype separator = lastInnerSeparator(base);
    const QString parent = separator < 0 ? QString() : base.left(separator);
    QString rest = path;
    // Only a path that begins with its drive ("D:\Sub\a.fb2", a drive root added) has a designator.
    const bool startsWithDrive = parent.isEmpty() && isDriveDesignator(path.left(2));
    if (!parent.isEmpty()) {
        const qsizetype at = path.indexOf(parent);
        if (at >= 0)
            rest = path.mid(at + parent.size() + 1);
    }
    // Empty components (the file-system root, doubled separators) have no name to keep.
    QStringList components = rest.split(QDir::separator(), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < components.size(); ++i) {
        QString &component = components[i];
        if (i == 0 && startsWithDrive)
            component.chop(1);
        component = fatSafeName(component);
    }
    return components.join(QDir::separator());
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
