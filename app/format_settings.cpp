#include "app/format_settings.h"

#include <QSettings>

namespace {
const QString ZippedFb2Key = QStringLiteral("formats/zippedFb2");
const QString EpubAndPdfKey = QStringLiteral("formats/epubAndPdf");

QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tessaly"),
                     QStringLiteral("Tessaly"));
}
} // namespace

BookFormats FormatSettings::load()
{
    const QSettings stored = settings();
    BookFormats formats;
    formats.zippedFb2 = stored.value(ZippedFb2Key, false).toBool();
    formats.epubAndPdf = stored.value(EpubAndPdfKey, false).toBool();
    return formats;
}

void FormatSettings::save(const BookFormats &formats)
{
    QSettings stored = settings();
    stored.setValue(ZippedFb2Key, formats.zippedFb2);
    stored.setValue(EpubAndPdfKey, formats.epubAndPdf);
}
