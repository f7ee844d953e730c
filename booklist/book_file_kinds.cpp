#include "booklist/book_file_kinds.h"

#include "core/zipped_fb2.h"

#include <QDir>

namespace {
QStringView lastComponent(QStringView path)
{
    qsizetype start = path.lastIndexOf(u'/') + 1;
    if (QDir::separator() != u'/')
        start = std::max(start, path.lastIndexOf(QDir::separator()) + 1);
    return path.sliced(start);
}
} // namespace

QStringView fileExtension(QStringView fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QStringView() : fileName.sliced(dot);
}

BookKind bookKindOf(QStringView path)
{
    const QStringView extension = fileExtension(lastComponent(path));
    // ASCII-only comparison: a non-ASCII letter must not fold into one of these extensions.
    const auto is = [&](QLatin1StringView name) {
        if (extension.size() != name.size())
            return false;
        for (qsizetype i = 0; i < extension.size(); ++i) {
            const char16_t c = extension[i].unicode();
            const char16_t upper = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
            if (upper != char16_t(name[i].unicode()))
                return false;
        }
        return true;
    };
    if (is(QLatin1StringView(".FB2")))
        return BookKind::Fb2;
    if (is(QLatin1StringView(".PDF")))
        return BookKind::Pdf;
    if (is(QLatin1StringView(".EPUB")))
        return BookKind::Epub;
    if (is(QLatin1StringView(".TXT")))
        return BookKind::Txt;
    return BookKind::None;
}

BookKind writtenBookKindOf(QStringView path)
{
    return isZippedBookName(path) ? BookKind::Fb2 : bookKindOf(path);
}

QString mimeTypeOf(BookKind kind)
{
    switch (kind) {
    case BookKind::Fb2:
        return QStringLiteral("application/fb2");
    case BookKind::Txt:
        return QStringLiteral("text/plain");
    case BookKind::Pdf:
        return QStringLiteral("application/pdf");
    case BookKind::Epub:
        return QStringLiteral("application/epub+zip");
    case BookKind::None:
        break;
    }
    return {};
}
