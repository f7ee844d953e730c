#include "device/books_kept_aside.h"

#include "device/file_transfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity PathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;
#endif

// `path` with links resolved and a trailing '/', or empty when it does not exist.
QString canonicalFolder(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    return canonical.endsWith(QLatin1Char('/')) ? canonical : canonical + QLatin1Char('/');
}
} // namespace

BooksKeptAside::BooksKeptAside(const QStringList &files, const QStringList &folders)
{
    QStringList roots;
    for (const QString &folder : folders) {
        const QString root = canonicalFolder(folder);
        if (!root.isEmpty())
            roots << root;
    }
    if (roots.isEmpty())
        return;
    // Books share their folders: each folder is resolved once.
    QHash<QString, bool> folderInside;
    for (const QString &file : files) {
        const QString parent = QFileInfo(file).absolutePath();
        auto known = folderInside.constFind(parent);
        if (known == folderInside.constEnd()) {
            const QString resolved = canonicalFolder(parent);
            bool inside = false;
            for (const QString &root : std::as_const(roots))
                inside = inside || (!resolved.isEmpty() && resolved.startsWith(root, PathCase));
            known = folderInside.insert(parent, inside);
        }
        if (*known)
            m_files << file;
    }
}

BooksKeptAside::~BooksKeptAside()
{
    if (!m_ended)
        returnAll();
}

qint64 BooksKeptAside::bytesStaying() const
{
    qint64 bytes = 0;
    for (const QString &file : m_files) {
        // As the clearing counts them: links and read-only files free nothing.
        const QFileInfo entry(file);
        if (!entry.isSymLink() && !entry.isJunction() && entry.isFile() &&
            (entry.permissions() & QFileDevice::WriteOwner))
            bytes += entry.size();
    }
    return bytes;
}

bool BooksKeptAside::moveAside(const QString &keepRoot)
{
    if (m_files.isEmpty())
        return true;
    QTemporaryDir folder(QDir(keepRoot).filePath(QStringLiteral("tessaly-kept-XXXXXX")));
    if (!folder.isValid()) {
        m_failedFile = m_files.first();
        return false;
    }
    folder.setAutoRemove(false);
    m_folder = folder.path();
    for (int i = 0; i < m_files.size(); ++i) {
        const QString &file = m_files.at(i);
        // Numbered, so books of the same name cannot meet; the extension stays, as it tells
        // the book's kind to the thumbnail.
        const QString suffix = QFileInfo(file).suffix();
        const QString aside = m_folder + QLatin1Char('/') + QString::number(i) +
                              (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
        if (!moveWithinVolume(file, aside)) {
            m_failedFile = file;
            returnAll();
            return false;
        }
        m_aside.insert(file, aside);
    }
    return true;
}

bool BooksKeptAside::finish(const QSet<QString> &copied)
{
    return end(copied, Return::BesideCopies);
}

bool BooksKeptAside::returnAll()
{
    return end({}, Return::OverCopies);
}

bool BooksKeptAside::end(const QSet<QString> &copied, Return others)
{
    m_ended = true;
    if (m_folder.isEmpty())
        return true;
    bool whole = true;
    for (auto aside = m_aside.begin(); aside != m_aside.end();) {
        bool done = false;
        if (copied.contains(aside.key()))
            done = QFile::remove(aside.value());
        else if (others == Return::OverCopies || !QFileInfo::exists(aside.key()))
            done = moveWithinVolume(aside.value(), aside.key());
        whole = whole && done;
        aside = done ? m_aside.erase(aside) : std::next(aside);
    }
    if (whole) {
        QDir().rmdir(m_folder);
        m_folder.clear();
    }
    return whole;
}
