#include "editor/reader_paths.h"

#include "reader/reader_layout.h"

#include <QDir>

namespace {
// Another program may have written the path with a leading separator.
qsizetype leadingSeparators(const QString &path)
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

ReaderBookPlace ReaderBookPlaces::place(const QString &storedPath)
{
    const QString path = QDir::toNativeSeparators(storedPath);
    // The reader's volume ignores letter case, so any spelling names the same folder; the
    // firmware's own spelling is tried first, as it is much the quicker test.
    const bool inBooksFolder = path.startsWith(m_booksFolder) || path.startsWith(m_booksFolder, Qt::CaseInsensitive);
    ReaderBookPlace place{
        m_deviceRoot + storedPath, {}, path.mid(inBooksFolder ? m_booksFolder.size() : leadingSeparators(path))};
    const qsizetype topFolderLength = std::max<qsizetype>(place.relative_path.indexOf(QDir::separator()), 0);
    place.root =
        inBooksFolder
            ? root(m_rootsInBooksFolder, m_booksFolderOnDevice, QStringView(place.relative_path).left(topFolderLength))
            : root(m_rootsElsewhere, m_deviceRoot, QStringView(place.relative_path).left(topFolderLength));
    return place;
}

QString ReaderBookPlaces::root(Roots &roots, const QString &base, QStringView topFolder)
{
    const std::u16string_view key(topFolder.utf16(), std::size_t(topFolder.size()));
    const auto known = roots.find(key);
    if (known != roots.end())
        return known->second;
    return roots.emplace(std::u16string(key), base + topFolder.toString()).first->second;
}
