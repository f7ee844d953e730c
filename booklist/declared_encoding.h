#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringConverter>

#include <map>
#include <memory>
#include <optional>

class QStringDecoder;

// The encoding named in the XML declaration that opens `head` (after a UTF-8 byte order mark
// and blanks): "koi8-r" for <?xml version="1.0" encoding="koi8-r"?>. Empty when there is none.
QByteArray declaredXmlEncoding(QByteArrayView head);

// UTF-16 in either byte order, told by a byte order mark or by the document's first "<";
// nothing for a document whose characters are single bytes or UTF-8.
std::optional<QStringConverter::Encoding> wideXmlEncoding(QByteArrayView head);

// Decodes the text of books in the encodings their declarations name: a book's bytes are
// read in its declared encoding when they are valid for it; otherwise, with no declaration,
// or one naming UTF-8 or an encoding unknown here, as book text always is (valid UTF-8, else
// Windows-1251). A converter is opened once per encoding and kept for a whole pass.
class DeclaredTextDecoder
{
public:
    DeclaredTextDecoder();
    ~DeclaredTextDecoder();
    DeclaredTextDecoder(const DeclaredTextDecoder &) = delete;
    DeclaredTextDecoder &operator=(const DeclaredTextDecoder &) = delete;

    QString decode(QByteArrayView bytes, const QByteArray &encoding);

private:
    // Null for an encoding the present rule stands in for.
    QStringDecoder *decoderFor(const QByteArray &encoding);

    std::map<QByteArray, std::unique_ptr<QStringDecoder>> m_decoders;
};
