#include "booklist/fb2_metadata.h"

#include "booklist/text_decoding.h"

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
    Fb2Metadata metadata;
    if (const auto firstName = m_firstName.firstMatch(text, 2))
        metadata.author = decodeBookText(*firstName);
    if (const auto lastName = m_lastName.firstMatch(text, 2))
        metadata.author = trimmedAuthor(metadata.author + u' ' + decodeBookText(*lastName));
    if (const auto title = m_title.firstMatch(text, 1))
        metadata.title = decodeBookText(*title);
    return metadata;
}
