#include "booklist/time_stamps.h"

BookTimeStamps bookTimeStamps(const QDateTime &localNow)
{
    const qint64 milliseconds = QDateTime(localNow.date(), localNow.time(), Qt::UTC).toMSecsSinceEpoch();
    // Whole seconds are truncated, so the stamp is the moment itself and not up to a second late.
    const qint64 seconds = milliseconds >= 0 ? milliseconds / 1000 : (milliseconds - 999) / 1000;
    const qint64 fraction = milliseconds - seconds * 1000;
    return {QString::number(seconds) + QStringLiteral("%1").arg(fraction, 3, 10, QLatin1Char('0')),
            QString::number(seconds + 10000) + QStringLiteral("000")};
}
