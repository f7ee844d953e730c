#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

class ZipArchive;

// An FB2 book kept as a ZIP archive of that one book (book.fb2.zip, or any .zip), as large FB2
// libraries are stored. The reader lists no archives: the book goes there unpacked, as .fb2.

// Larger than any FB2 book with its pictures; an archive that would unpack past it is refused.
inline constexpr qint64 ZippedFb2MaxBytes = 256 * 1024 * 1024;

// Whether `path` names a ZIP archive: its extension is ".zip" in any letter case.
bool isZippedBookName(QStringView path);

// The name the book takes on the reader: the archive's name without ".zip", ending in ".fb2"
// ("book.fb2.zip" and "book.zip" give "book.fb2").
QString unpackedBookName(QStringView archiveName);

// What an archive holds, judged by its directory and its first bytes.
struct ZippedFb2
{
    qint64 entry = -1; // the book's index in the archive; -1 when the archive is not fit
    qint64 size = 0;   // what the book unpacks to
    QString problem;   // why the archive is not fit, for the user; empty when it is
};

// The book in an archive: one file named *.fb2 (folders aside), inside the archive, neither
// encrypted nor compressed in a way libzip does not inflate, unpacking to at most ZippedFb2MaxBytes.
ZippedFb2 zippedFb2In(const ZipArchive &archive);
// The same for the archive at `path`; its first bytes are inflated too, so a damaged book shows.
ZippedFb2 checkZippedFb2(const QString &path);

// The unpacked size of the book, or nothing when the archive is gone or not fit.
std::optional<qint64> zippedFb2Size(const QString &path);
// The first `count` bytes of the book.
std::optional<QByteArray> zippedFb2Head(const QString &path, qint64 count);
// The whole book.
std::optional<QByteArray> zippedFb2Text(const QString &path);
// Hands the whole book to `sink` a block at a time; false when the archive breaks its promises
// (a wrong checksum, more bytes than declared) or `sink` fails.
bool unpackZippedFb2(const QString &path, const std::function<bool(const char *, qint64)> &sink);
