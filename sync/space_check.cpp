#include "sync/space_check.h"

#include <QtNumeric>

namespace {
constexpr qint64 ThumbnailAllowance = 200 * 1024;
constexpr qint64 Margin = 10240;
constexpr qint64 Megabyte = 1048576;
} // namespace

bool booksFit(qint64 totalSize, qint64 bookCount, qint64 availableBytes)
{
    qint64 thumbnails = 0;
    qint64 needed = 0;
    // A need beyond 64 bits fits nowhere.
    if (qMulOverflow(bookCount, ThumbnailAllowance, &thumbnails) || qAddOverflow(totalSize, Margin, &needed) ||
        qAddOverflow(needed, thumbnails, &needed))
        return false;
    return needed <= availableBytes;
}

QString notEnoughSpaceMessage(qint64 totalSize, qint64 bookCount, qint64 availableBytes)
{
    return QStringLiteral("Объем книг вместе с превью\r\nбольше доступного места на устройстве!\r\nОбъем книг: ") +
           QString::number(totalSize / Megabyte + 10) + QStringLiteral(" Mb\r\nОбъем превью: ") +
           QString::number(bookCount * 200 / 1024 + 10) + QStringLiteral(" Mb\r\nДоступно места: ") +
           QString::number(availableBytes / Megabyte) + QStringLiteral(" Mb\r\nУдалите лишние книги!");
}
