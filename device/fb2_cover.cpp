#include "device/fb2_cover.h"

#include "core/regex.h"

#include <cstring>
#include <string_view>

namespace {
// The first occurrence of `needle` in `text`, or -1. Books run to megabytes and are searched
// for every thumbnail, so glibc's memmem, several times faster than a generic search, is used where present.
qsizetype findBytes(const QByteArray &text, QByteArrayView needle)
{
#ifdef __GLIBC__
    const void *hit = memmem(text.constData(), size_t(text.size()), needle.data(), size_t(needle.size()));
    return hit ? static_cast<const char *>(hit) - text.constData() : -1;
#else
    const size_t hit = std::string_view(text.constData(), size_t(text.size()))
                           .find(std::string_view(needle.data(), size_t(needle.size())));
    return hit == std::string_view::npos ? -1 : qsizetype(hit);
#endif
}

const Regex &quotedImageIdPattern()
{
    static const Regex pattern(QStringLiteral("[\"][#](.*?)[\"]"));
    return pattern;
}

QByteArray imageIdOf(const QByteArray &text)
{
    const qsizetype coverpage = findBytes(text, "<coverpage>");
    if (coverpage < 0)
        return {};
    // The reference ends at the first '/', which closes the image element; without one, at the end.
    const qsizetype slash = text.indexOf('/', coverpage);
    const qsizetype end = slash < 0 ? text.size() : slash;
    const QByteArrayView reference = QByteArrayView(text).sliced(coverpage, end - coverpage);
    return quotedImageIdPattern().firstMatch(reference, 1).value_or(QByteArray());
}

QByteArray base64DataOf(const QByteArray &text, const QByteArray &imageId)
{
    const qsizetype attribute = findBytes(text, QByteArray("id=\"") + imageId + '"');
    if (attribute < 0)
        return {};
    // The shortest text between a '>' and a '<': a plain scan, since a cover runs to megabytes.
    const qsizetype open = text.indexOf('>', attribute);
    if (open < 0)
        return {};
    const qsizetype close = text.indexOf('<', open + 1);
    if (close < 0)
        return {};
    return text.mid(open + 1, close - open - 1);
}
} // namespace

CoverKind coverKindOf(QByteArrayView imageId)
{
    const QByteArray upper = imageId.toByteArray().toUpper();
    if (upper.endsWith(".JPG") || upper.endsWith(".JPEG"))
        return CoverKind::Jpeg;
    if (upper.endsWith(".PNG"))
        return CoverKind::Png;
    return CoverKind::Other;
}

Fb2Cover findFb2Cover(const QByteArray &text)
{
    Fb2Cover cover;
    cover.imageId = imageIdOf(text);
    cover.kind = coverKindOf(cover.imageId);
    if (!cover.imageId.isEmpty())
        cover.base64Data = base64DataOf(text, cover.imageId);
    return cover;
}
