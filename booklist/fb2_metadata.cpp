#include "booklist/fb2_metadata.h"

#include <QStringDecoder>

namespace {
// Blanks and control characters at both ends go; other characters stay.
QString trimmedAuthor(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start].unicode() <= 0x20)
        ++start;
    while (end > start && text[end - 1].unicode() <= 0x20)
        --end;
    return text.sliced(start, end - start);
}
} // namespace

Fb2MetadataReader::Fb2MetadataReader()
    : m_firstName(QStringLiteral("[<]author[>](.*?)[<]first-name[>](.*?)[<][/]first-name[>](.*?)[<][/]author[>]")),
      m_lastName(QStringLiteral("[<]author[>](.*?)[<]last-name[>](.*?)[<][/]last-name[>](.*?)[<][/]author[>]")),
      m_title(QStringLiteral("[[<]book-title[>](.*?)[<][/]book-title[>]"))
{}

Fb2Metadata Fb2MetadataReader::read(QByteArrayView head) const
{
    const QByteArrayView text = head.first(std::min(head.size(), Fb2HeadSize));
    if (const std::optional<QStringConverter::Encoding> wide = wideXmlEncoding(text)) {
        // The patterns read single bytes: a book in UTF-16 is searched in UTF-8. A character
        // cut in half at the head's end is left out.
        QStringDecoder decoder(*wide, QStringConverter::Flag::Stateless);
        const QString decoded = decoder.decode(text.first(text.size() & ~qsizetype(1)));
        return search(decoded.toUtf8(), QByteArray());
    }
    return search(text, declaredXmlEncoding(text));
}

Fb2Metadata Fb2MetadataReader::search(QByteArrayView text, const QByteArray &encoding) const
{
    Fb2Metadata metadata;
    if (const auto firstName = m_firstName.firstMatch(text, 2))
        metadata.author = m_decoder.decode(*firstName, encoding);
    if (const auto lastName = m_lastName.firstMatch(text, 2))
        metadata.author = trimmedAuthor(metadata.author + u' ' + m_decoder.decode(*lastName, encoding));
    if (const auto title = m_title.firstMatch(text, 1))
        metadata.title = m_decoder.decode(*title, encoding);
    return metadata;
}
