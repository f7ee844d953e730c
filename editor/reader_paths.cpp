#include "editor/reader_paths.h"

#include "core/text_block.h"
#include "reader/reader_layout.h"

#include <QDir>

namespace {
// Another program may have written the path with a leading separator.
qsizetype leadingSeparators(QStringView path)
{
    qsizetype count = 0;
    while (count < path.size() && path.at(count) == QDir::separator())
        ++count;
    return count;
}
} // namespace

ReaderBookPlaces::ReaderBookPlaces(const QString &deviceRoot)
    : m_deviceRoot(deviceRoot), m_booksFolder(QDir::toNativeSeparators(ReaderLayout::BooksFolder)),
      m_booksFolderOnDevice(ReaderLayout::booksFolderPath(deviceRoot))
{}

ReaderBookPlaces::Cut ReaderBookPlaces::cut(QStringView path)
{
    // The reader's volume ignores letter case, so any spelling names the same folder; the
    // firmware's own spelling is tried first, as it is much the quicker test.
    const bool inBooksFolder = path.startsWith(m_booksFolder) || path.startsWith(m_booksFolder, Qt::CaseInsensitive);
    const qsizetype relativeFrom = inBooksFolder ? m_booksFolder.size() : leadingSeparators(path);
    const QStringView relative = path.sliced(relativeFrom);
    const QStringView topFolder = relative.left(std::max<qsizetype>(relative.indexOf(QDir::separator()), 0));
    return {relativeFrom, inBooksFolder ? root(m_rootsInBooksFolder, m_booksFolderOnDevice, topFolder)
                                        : root(m_rootsElsewhere, m_deviceRoot, topFolder)};
}

ReaderBookPlace ReaderBookPlaces::place(const QString &storedPath)
{
    const QString path = QDir::toNativeSeparators(storedPath);
    Cut parts = cut(path);
    return {m_deviceRoot + storedPath, std::move(parts.root), path.mid(parts.relativeFrom)};
}

ReaderBookPlaces::PlaceInBlock ReaderBookPlaces::placeIn(TextBlock &block, int fullPath)
{
    const QStringView stored = block.view(fullPath).sliced(m_deviceRoot.size());
    if (QDir::separator() == u'/') {
        Cut parts = cut(stored);
        return {block.tail(fullPath, m_deviceRoot.size() + parts.relativeFrom), std::move(parts.root)};
    }
    const QString path = QDir::toNativeSeparators(stored.toString());
    Cut parts = cut(path);
    block.append(QStringView(path).sliced(parts.relativeFrom));
    return {block.end(), std::move(parts.root)};
}

QString ReaderBookPlaces::root(Roots &roots, const QString &base, QStringView topFolder)
{
    const std::u16string_view key(topFolder.utf16(), std::size_t(topFolder.size()));
    const auto known = roots.find(key);
    if (known != roots.end())
        return known->second;
    return roots.emplace(std::u16string(key), base + topFolder.toString()).first->second;
}
