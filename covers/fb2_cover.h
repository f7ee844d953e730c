#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

// What an image id's extension says the picture is.
enum class CoverKind { Jpeg, Png, Other };

// The cover as an FB2 text names and stores it.
struct Fb2Cover
{
    QByteArray imageId; // "cover.jpg" from <coverpage>…"#cover.jpg"; empty when there is none
    CoverKind kind = CoverKind::Other;
    QByteArray base64Data; // the text of the element whose id attribute is the image id, as stored
};

// ".JPG" and ".JPEG" give Jpeg, ".PNG" gives Png (any letter case), anything else Other.
CoverKind coverKindOf(QByteArrayView imageId);

// Finds the cover of an FB2 text: the first "<coverpage>" (exact case), the "#id" quoted before the
// first '/' after it (or before the end of the text), then the first element carrying id="<id>" and
// the text between its '>' and the next '<'. A text without a cover id gives no data at all, so an
// unrelated id="" attribute is never taken for a cover.
Fb2Cover findFb2Cover(const QByteArray &text);

// The same, reading the book from `book` (open, seekable) a block at a time: a book of gigabytes
// costs no more memory than its cover. An id or a cover's text too long for any real book counts
// as none.
Fb2Cover findFb2Cover(QIODevice &book);
