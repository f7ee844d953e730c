#include "covers/fb2_cover.h"

#include <QBuffer>
#include <QIODevice>

#include <cstring>
#include <string_view>

namespace {
constexpr qint64 FirstBlockSize = 16 * 1024;
constexpr qint64 BlockSize = 1 << 20;
// Far beyond any real book's: a longer id or cover text is taken for none.
constexpr qint64 MaxImageIdLength = 64 * 1024;
constexpr qint64 MaxCoverTextLength = 64 * 1024 * 1024;

// The first occurrence of `needle` in `text`, or -1. glibc's memmem is several times faster than a
// generic search, and books run to megabytes.
qsizetype findBytes(QByteArrayView text, QByteArrayView needle)
{
#ifdef __GLIBC__
    const void *hit = memmem(text.data(), size_t(text.size()), needle.data(), size_t(needle.size()));
    return hit ? static_cast<const char *>(hit) - text.data() : -1;
#else
    const size_t hit =
        std::string_view(text.data(), size_t(text.size())).find(std::string_view(needle.data(), size_t(needle.size())));
    return hit == std::string_view::npos ? -1 : qsizetype(hit);
#endif
}

// Searches a book read a block at a time; a match that straddles two blocks is still found. The
// first block is small, as most searches end near where they start, and one buffer serves them all.
class BookSearch
{
public:
    explicit BookSearch(QIODevice &book) : m_book(book) {}

    // The position of the first `needle` at or after `from` and before `until` (-1: the end), or -1.
    qint64 find(QByteArrayView needle, qint64 from, qint64 until = -1)
    {
        if (!m_book.seek(from))
            return -1;
        // The window holds the last bytes of the block before, in case the needle starts there,
        // then the next block.
        qsizetype kept = 0;
        qint64 windowStart = from;
        for (qint64 block = FirstBlockSize;; block = BlockSize) {
            if (m_window.size() < kept + block)
                m_window.resize(needle.size() - 1 + BlockSize);
            const qint64 got = m_book.read(m_window.data() + kept, block);
            if (got <= 0)
                return -1;
            const QByteArrayView filled(m_window.constData(), kept + got);
            const qsizetype hit = findBytes(filled, needle);
            if (hit >= 0) {
                const qint64 at = windowStart + hit;
                return until >= 0 && at + needle.size() > until ? -1 : at;
            }
            if (until >= 0 && windowStart + filled.size() >= until)
                return -1;
            const qsizetype keep = qMin(filled.size(), needle.size() - 1);
            std::memmove(m_window.data(), m_window.constData() + filled.size() - keep, size_t(keep));
            windowStart += filled.size() - keep;
            kept = keep;
        }
    }

    // `length` bytes from `from`, fewer at the end of the book.
    QByteArray read(qint64 from, qint64 length) { return m_book.seek(from) ? m_book.read(length) : QByteArray(); }

private:
    QIODevice &m_book;
    QByteArray m_window;
};

// The id named by the shortest "#…" in double quotes after "<coverpage>" and before the first
// '/' that follows it (or before the end).
QByteArray imageIdOf(BookSearch &book)
{
    const qint64 coverpage = book.find("<coverpage>", 0);
    if (coverpage < 0)
        return {};
    const qint64 slash = book.find("/", coverpage);
    const qint64 opening = book.find("\"#", coverpage, slash);
    if (opening < 0)
        return {};
    const qint64 closing = book.find("\"", opening + 2, slash);
    if (closing < 0 || closing - opening - 2 > MaxImageIdLength)
        return {};
    return book.read(opening + 2, closing - opening - 2);
}

// The text between the '>' after the first id="<id>" and the next '<'.
QByteArray base64DataOf(BookSearch &book, const QByteArray &imageId)
{
    const qint64 attribute = book.find(QByteArray("id=\"") + imageId + '"', 0);
    if (attribute < 0)
        return {};
    const qint64 open = book.find(">", attribute);
    if (open < 0)
        return {};
    const qint64 close = book.find("<", open + 1, open + 1 + MaxCoverTextLength + 1);
    if (close < 0)
        return {};
    return book.read(open + 1, close - open - 1);
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
    QBuffer book;
    book.setData(text);
    book.open(QIODevice::ReadOnly);
    return findFb2Cover(book);
}

Fb2Cover findFb2Cover(QIODevice &book)
{
    BookSearch search(book);
    Fb2Cover cover;
    cover.imageId = imageIdOf(search);
    cover.kind = coverKindOf(cover.imageId);
    if (!cover.imageId.isEmpty())
        cover.base64Data = base64DataOf(search, cover.imageId);
    return cover;
}
