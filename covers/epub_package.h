#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class ZipArchive;

// What an EPUB's package document says of the book.
struct EpubPackage
{
    QString title;         // the main dc:title, else the first; empty when there is none
    QString author;        // the first dc:creator that is an author, else the first one
    QString series;        // the first series it belongs to; empty when none
    QString seriesNumber;  // its place in that series as written; empty when none
    QByteArray coverImage; // the archive entry of the cover picture the manifest names; may be empty
    QByteArray coverPage;  // else the entry of the guide's cover page, whose first picture is the cover
};

// Reads META-INF/container.xml and the package document it points at. Nothing when the archive
// holds no readable package document.
std::optional<EpubPackage> readEpubPackage(const ZipArchive &archive);
// The same for the EPUB file at `path`; nothing when it is no readable archive.
std::optional<EpubPackage> readEpubPackageAt(const QString &path);

// The bytes of the cover picture, bounded like an FB2 book's cover; nothing when there is none.
std::optional<QByteArray> epubCoverPicture(const ZipArchive &archive, const EpubPackage &package);

// The archive entry `href` (percent-encoded, relative to the entry `base`) points at; empty when
// it points outside the archive.
QByteArray epubEntryPath(const QByteArray &base, const QString &href);
