#pragma once

#include <QByteArrayView>
#include <QLatin1String>
#include <QString>

// Where a reader keeps its library, relative to the device root. The database stores these
// places with forward slashes and no drive; on the computer they are joined to the root.
namespace ReaderLayout {

inline constexpr QLatin1String ReaderFolder{"Sony_Reader/"};
inline constexpr QLatin1String DatabaseFile{"Sony_Reader/database/books.db"};
inline constexpr QLatin1String BooksFolder{"Sony_Reader/media/books/"};
inline constexpr QLatin1String ThumbnailsFolder{"Sony_Reader/database/cache/books/"};
// Beside the thumbnails folder: a book's thumbnail folder is made here whole and then moved into
// the thumbnails folder in one step, so that no record's folder there is ever without its thumbnail.
inline constexpr QLatin1String StagedThumbnailsFolder{"Sony_Reader/database/cache/tessaly-next-books/"};
// Below the thumbnails folder each book has <record id>/thumbnail/main_thumbnail.jpg.
inline constexpr QLatin1String ThumbnailSubfolder{"/thumbnail/"};
inline constexpr QLatin1String ThumbnailFileName{"main_thumbnail.jpg"};

// `relative` below the device root (which ends in a separator), in native form.
QString onDevice(const QString &deviceRoot, const QString &relative);

QString databasePath(const QString &deviceRoot);
QString booksFolderPath(const QString &deviceRoot);
QString thumbnailsFolderPath(const QString &deviceRoot);
QString stagedThumbnailsFolderPath(const QString &deviceRoot);
// The folder that receives one book's main_thumbnail.jpg, ending in a separator.
QString thumbnailFolderPath(const QString &deviceRoot, const QString &recordId);

// Whether `storedPath` is the thumbnail the database stores for record `recordId` in its own folder.
bool isStoredThumbnailPathOf(QByteArrayView storedPath, QStringView recordId);

// A path of the reader's as the database stores it: relative to the device root, forward slashes.
QString storedPathOf(const QString &deviceRoot, const QString &path);

// The book's `file_path` as the database stores it: the books folder + the relative path
// with forward slashes.
QString storedBookPath(const QString &relativePath);
// The book's `thumbnail` as the database stores it.
QString storedThumbnailPath(const QString &recordId);
// The same path in the bytes books.db stores, for the record with `_id` `recordId`.
QByteArray storedThumbnailUtf8(qint64 recordId);

} // namespace ReaderLayout
