#include "core/text_block.h"

#include <algorithm>

void TextBlock::append(QStringView text)
{
    m_open.null = m_open.null && text.isNull();
    m_chars.insert(m_chars.end(), text.utf16(), text.utf16() + text.size());
    m_open.size += text.size();
}

namespace {
// Decodes text that holds only ASCII and well-formed two-byte sequences, as the names and
// titles of a Latin or Cyrillic library do, and which therefore has one reading only. Returns
// the end of what it wrote, or nullptr at the first byte of anything else.
char16_t *decodeSimpleUtf8(QByteArrayView utf8, char16_t *out)
{
    const auto *in = reinterpret_cast<const uchar *>(utf8.data());
    const uchar *const end = in + utf8.size();
    while (in != end) {
        const uchar lead = *in;
        if (lead < 0x80) {
            *out++ = lead;
            ++in;
        } else if (lead >= 0xC2 && lead <= 0xDF && end - in >= 2 && (in[1] & 0xC0) == 0x80) {
            *out++ = char16_t((lead & 0x1F) << 6 | (in[1] & 0x3F));
            in += 2;
        } else {
            return nullptr;
        }
    }
    return out;
}
} // namespace

void TextBlock::appendUtf8(QByteArrayView utf8)
{
    m_open.null = m_open.null && utf8.isNull();
    // No UTF-8 sequence gives more UTF-16 units than it has bytes.
    const std::size_t before = m_chars.size();
    m_chars.resize(before + std::size_t(utf8.size()));
    char16_t *const start = m_chars.data() + before;
    const char16_t *end = decodeSimpleUtf8(utf8, start);
    // Anything else, faults and byte order marks included, is Qt's to decode.
    if (!end)
        end = reinterpret_cast<const char16_t *>(m_utf8.appendToBuffer(reinterpret_cast<QChar *>(start), utf8));
    m_chars.resize(before + std::size_t(end - start));
    m_open.size += end - start;
}

int TextBlock::end()
{
    m_chars.push_back(u'\0');
    m_spans.push_back(m_open);
    m_open = Span{qsizetype(m_chars.size()), 0, true};
    return int(m_spans.size()) - 1;
}

int TextBlock::endAsTailOf(int earlier)
{
    const QStringView written(m_chars.data() + m_open.from, m_open.size);
    const QStringView other = view(earlier);
    if (m_open.null || !other.endsWith(written))
        return end();
    m_chars.resize(std::size_t(m_open.from));
    m_open = Span{m_open.from, 0, true};
    return tail(earlier, other.size() - written.size());
}

int TextBlock::tail(int text, qsizetype from)
{
    const Span whole = m_spans.at(std::size_t(text));
    m_spans.push_back({whole.from + from, whole.size - from, false});
    return int(m_spans.size()) - 1;
}

QStringView TextBlock::view(int text) const
{
    const Span &span = m_spans.at(std::size_t(text));
    return QStringView(m_chars.data() + span.from, span.size);
}

void TextBlock::seal()
{
    m_made.clear();
    const auto held = std::count_if(m_spans.cbegin(), m_spans.cend(), [](const Span &span) { return !span.null; });
    if (held == 0) {
        m_made.resize(m_spans.size());
        return;
    }
    auto [header, chars] = QTypedArrayData<char16_t>::allocate(qsizetype(m_chars.size()));
    std::copy(m_chars.cbegin(), m_chars.cend(), chars);
    // No one else sees the block yet: it takes its texts' references at once.
    header->ref_.storeRelaxed(int(held));
    for (const Span &span : m_spans) {
        if (span.null)
            m_made.emplace_back();
        else
            m_made.emplace_back(QStringPrivate(header, chars + span.from, span.size));
    }
}

void TextBlock::clear()
{
    m_chars.clear();
    m_spans.clear();
    m_open = Span{};
    m_made.clear();
}
