#include "booklist/fb2_metadata.h"

#include <QStringDecoder>

namespace {
// Blanks and control characters at both ends go; other characters stay.
QString trimmedText(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start].unicode() <= 0x20)
        ++start;
    while (end > start && text[end - 1].unicode() <= 0x20)
        --end;
    return text.sliced(start, end - start);
}

// An attribute value writes its quotes and ampersands as the XML's own entities.
QString withEntitiesResolved(QString text)
{
    if (!text.contains(u'&'))
        return text;
    return text.replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&apos;"), QLatin1String("'"))
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

// The title-info of the head, to its end or to the head's end when it is cut off there: the
// document's and the publisher's sections name sequences of their own.
QByteArrayView titleInfo(QByteArrayView text)
{
    const qsizetype start = text.indexOf("<title-info>");
    if (start < 0)
        return {};
    const QByteArrayView info = text.sliced(start);
    const qsizetype end = info.indexOf("</title-info>");
    return end < 0 ? info : info.first(end);
}

// The opening tag of the first sequence, nested or repeated ones being later; empty when the
// head cuts it off.
QByteArrayView firstSequenceTag(QByteArrayView info)
{
    for (qsizetype at = info.indexOf("<sequence"); at >= 0; at = info.indexOf("<sequence", at + 1)) {
        const QByteArrayView tag = info.sliced(at);
        if (tag.size() > 9 && (tag[9] == ' ' || tag[9] == '\t' || tag[9] == '\r' || tag[9] == '\n')) {
            const qsizetype end = tag.indexOf('>');
            return end < 0 ? QByteArrayView() : tag.first(end);
        }
    }
    return {};
}
} // namespace

Fb2MetadataReader::Fb2MetadataReader()
    : m_firstName(QStringLiteral("[<]author[>](.*?)[<]first-name[>](.*?)[<][/]first-name[>](.*?)[<][/]author[>]")),
      m_lastName(QStringLiteral("[<]author[>](.*?)[<]last-name[>](.*?)[<][/]last-name[>](.*?)[<][/]author[>]")),
      m_title(QStringLiteral("[[<]book-title[>](.*?)[<][/]book-title[>]")),
      m_seriesName(QStringLiteral("\\sname\\s*=\\s*(?|\"([^\"]*)\"|'([^']*)')")),
      m_seriesNumber(QStringLiteral("\\snumber\\s*=\\s*(?|\"([^\"]*)\"|'([^']*)')"))
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
        metadata.author = trimmedText(metadata.author + u' ' + m_decoder.decode(*lastName, encoding));
    if (const auto title = m_title.firstMatch(text, 1))
        metadata.title = m_decoder.decode(*title, encoding);
    readSeries(text, encoding, metadata);
    return metadata;
}

void Fb2MetadataReader::readSeries(QByteArrayView text, const QByteArray &encoding, Fb2Metadata &metadata) const
{
    const QByteArrayView tag = firstSequenceTag(titleInfo(text));
    if (tag.isEmpty())
        return;
    metadata.series = attribute(m_seriesName, tag, encoding);
    if (!metadata.series.isEmpty())
        metadata.seriesNumber = attribute(m_seriesNumber, tag, encoding);
}

QString Fb2MetadataReader::attribute(const Regex &pattern, QByteArrayView tag, const QByteArray &encoding) const
{
    const std::optional<QByteArray> value = pattern.firstMatch(tag, 1);
    return value ? trimmedText(withEntitiesResolved(m_decoder.decode(*value, encoding))) : QString();
}
