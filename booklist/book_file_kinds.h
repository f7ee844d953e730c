#pragma once

#include <QString>
#include <QStringView>

// The four kinds of book the reader takes, recognised by the file name's extension alone,
// ignoring letter case.
enum class BookKind { None, Pdf, Fb2, Txt, Epub };

// The extension of a file name: from its last '.' on, dot included; empty when there is none.
QStringView fileExtension(QStringView fileName);

// The kind named by the extension of `path` (the last component is looked at).
BookKind bookKindOf(QStringView path);
inline bool hasBookExtension(QStringView path)
{
    return bookKindOf(path) != BookKind::None;
}

// The kind of book the reader receives for the file at `path`: a zipped FB2 book goes there
// unpacked, so it is FB2; otherwise bookKindOf(path).
BookKind writtenBookKindOf(QStringView path);

// The MIME type the reader expects for a book kind; empty for BookKind::None.
QString mimeTypeOf(BookKind kind);
