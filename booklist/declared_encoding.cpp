#include "booklist/declared_encoding.h"

#include "booklist/text_decoding.h"

#include <QStringDecoder>

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Encodings whose characters are not single bytes compatible with ASCII cannot be what a
// head the patterns could read is written in; UTF-8 is what the present rule reads anyway.
bool presentRuleStandsIn(const QByteArray &encoding)
{
    const std::optional<QStringConverter::Encoding> builtIn = QStringConverter::encodingForName(encoding.constData());
    return builtIn && *builtIn != QStringConverter::Latin1;
}
} // namespace

QByteArray declaredXmlEncoding(QByteArrayView head)
{
    qsizetype at = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < head.size() && isBlank(head[at]))
        ++at;
    if (!head.sliced(at).startsWith("<?xml"))
        return {};
    const qsizetype end = head.indexOf("?>", at);
    const QByteArrayView declaration = head.sliced(at, (end < 0 ? head.size() : end) - at);
    qsizetype name = declaration.indexOf("encoding");
    if (name < 0)
        return {};
    name += qsizetype(sizeof "encoding") - 1;
    while (name < declaration.size() && isBlank(declaration[name]))
        ++name;
    if (name >= declaration.size() || declaration[name] != '=')
        return {};
    ++name;
    while (name < declaration.size() && isBlank(declaration[name]))
        ++name;
    if (name >= declaration.size() || (declaration[name] != '"' && declaration[name] != '\''))
        return {};
    const qsizetype close = declaration.indexOf(declaration[name], name + 1);
    if (close < 0)
        return {};
    return declaration.sliced(name + 1, close - name - 1).trimmed().toByteArray();
}

std::optional<QStringConverter::Encoding> wideXmlEncoding(QByteArrayView head)
{
    if (head.startsWith("\xFF\xFE") || head.startsWith(QByteArrayView("<\0", 2)))
        return QStringConverter::Utf16LE;
    if (head.startsWith("\xFE\xFF") || head.startsWith(QByteArrayView("\0<", 2)))
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

DeclaredTextDecoder::DeclaredTextDecoder() = default;
DeclaredTextDecoder::~DeclaredTextDecoder() = default;

QString DeclaredTextDecoder::decode(QByteArrayView bytes, const QByteArray &encoding)
{
    QStringDecoder *decoder = encoding.isEmpty() ? nullptr : decoderFor(encoding);
    if (!decoder)
        return decodeBookText(bytes);
    decoder->resetState();
    QString text = decoder->decode(bytes);
    return decoder->hasError() ? decodeBookText(bytes) : text;
}

QStringDecoder *DeclaredTextDecoder::decoderFor(const QByteArray &encoding)
{
    auto found = m_decoders.find(encoding);
    if (found == m_decoders.end()) {
        std::unique_ptr<QStringDecoder> decoder;
        if (!presentRuleStandsIn(encoding)) {
            decoder = std::make_unique<QStringDecoder>(encoding.constData(), QStringConverter::Flag::Stateless);
            if (!decoder->isValid())
                decoder.reset();
        }
        found = m_decoders.emplace(encoding, std::move(decoder)).first;
    }
    return found->second.get();
}
