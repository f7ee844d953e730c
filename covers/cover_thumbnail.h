#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>

class FileOperations;
struct BookFormats;

// The reader looks for this name whatever the picture's format.
inline constexpr QLatin1StringView ThumbnailFileName("main_thumbnail.jpg");

// What a book's thumbnail turned out to be.
enum class ThumbnailSource {
    Cover,       // the book's own JPEG, or its PNG encoded again, or its first PDF page
    Placeholder, // the built-in picture: no cover, or a cover that cannot be decoded
    None,        // the cover's id names neither a JPEG nor a PNG: no file is written
};

struct Thumbnail
{
    ThumbnailSource source = ThumbnailSource::Placeholder;
    QByteArray bytes; // the file's content; empty for None
};

// The built-in placeholder JPEG, byte for byte.
QByteArray placeholderCover();

// The thumbnail of the book at `bookPath`: the cover of an FB2 book, and with `formats` switched
// on, that of a zipped FB2 book, the cover an EPUB's package names or a PDF's first page. Never throws: a
// book that cannot be read at this moment, or whose cover is damaged, gets the placeholder, so one
// bad book never stops a run.
Thumbnail coverThumbnail(const QString &bookPath, const BookFormats &formats);
Thumbnail coverThumbnail(const QString &bookPath);

// Writes coverThumbnail(bookPath) through `files` as `thumbnailFolder`/main_thumbnail.jpg into an
// existing folder, replacing an earlier file of that name, and says what it wrote (None: nothing
// written). Throws TessalyError only when the file cannot be written; nothing partly written stays.
ThumbnailSource writeCoverThumbnail(const QString &bookPath, const QString &thumbnailFolder, FileOperations &files,
                                    const BookFormats &formats);
ThumbnailSource writeCoverThumbnail(const QString &bookPath, const QString &thumbnailFolder, FileOperations &files);

// The error when the thumbnail file `path` cannot be written or put in its place.
QString thumbnailNotWrittenMessage(const QString &path);
