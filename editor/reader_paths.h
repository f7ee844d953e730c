#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <unordered_map>

class TextBlock;

// Where a book that the reader's database lists lies, as the editing page shows it.
struct ReaderBookPlace
{
    QString full_path;     // the device root followed by the stored path exactly as stored
    QString root;          // the book's top folder below the books folder
    QString relative_path; // the book's path below the books folder, native separators
};

// The places of the books of the reader at one device root (ending in a separator).
class ReaderBookPlaces
{
public:
    explicit ReaderBookPlaces(const QString &deviceRoot);

    // The place of the book whose record stores `storedPath` (its `file_path`: relative to
    // the device root, forward slashes). Below the books folder, `relative_path` is the path
    // below it and `root` the books folder followed by the first folder under it (the books
    // folder itself, separator included, for a book lying directly in it). A path elsewhere
    // on the reader would be cut meaninglessly by that rule; it is taken below the device
    // root instead, so that such a book's folders still name its collection in the automatic
    // build. The stored path itself is never changed: it is written back as it was read.
    ReaderBookPlace place(const QString &storedPath);
    // The same place for text `fullPath` of `block`, the device root followed by the stored
    // path: the relative path goes into the block, as the end of the full path where the
    // separators are the stored ones.
    struct PlaceInBlock
    {
        int relative_path; // its number in the block
        QString root;
    };
    PlaceInBlock placeIn(TextBlock &block, int fullPath);

private:
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>()(text); }
    };
    // The roots made so far by their top folder: the books of one folder share one text.
    using Roots = std::unordered_map<std::u16string, QString, Hash, std::equal_to<>>;

    // Where the path below the books folder (or the device root) begins in a stored path
    // with native separators, and the book's root.
    struct Cut
    {
        qsizetype relativeFrom;
        QString root;
    };
    Cut cut(QStringView path);
    QString root(Roots &roots, const QString &base, QStringView topFolder);

    QString m_deviceRoot;
    QString m_booksFolder;         // below the device root, native separators
    QString m_booksFolderOnDevice; // the device root followed by m_booksFolder
    Roots m_rootsInBooksFolder;
    Roots m_rootsElsewhere;
};
