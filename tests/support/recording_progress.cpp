#include "support/recording_progress.h"

namespace {
QString barName(Progress::Bar bar)
{
    return bar == Progress::Bar::Main ? QStringLiteral("main") : QStringLiteral("item");
}
} // namespace

void RecordingProgress::setMaximum(Bar bar, int maximum)
{
    (bar == Bar::Main ? mainMaximum : itemMaximum) = maximum;
    calls << QStringLiteral("max %1 %2").arg(barName(bar)).arg(maximum);
}

void RecordingProgress::setPosition(Bar bar, int position)
{
    const int maximum = bar == Bar::Main ? mainMaximum : itemMaximum;
    (bar == Bar::Main ? mainPosition : itemPosition) = std::clamp(position, 0, std::max(maximum, 0));
    calls << QStringLiteral("pos %1 %2").arg(barName(bar)).arg(position);
}

void RecordingProgress::setCaption(Bar bar, const QString &text)
{
    (bar == Bar::Main ? mainCaption : itemCaption) = text;
    calls << QStringLiteral("caption %1 %2").arg(barName(bar), text);
}

void RecordingProgress::show()
{
    visible = true;
    calls << QStringLiteral("show");
}

void RecordingProgress::hide()
{
    visible = false;
    calls << QStringLiteral("hide");
}

void RecordingProgress::repaint(Repaint what)
{
    static const char *names[] = {"window", "main caption", "item caption"};
    calls << QStringLiteral("repaint ") + QLatin1String(names[int(what)]);
}

void RecordingProgress::processEvents()
{
    calls << QStringLiteral("events");
}

QStringList RecordingProgress::states() const
{
    QStringList result;
    for (const QString &call : calls)
        if (!call.startsWith(QLatin1String("repaint")) && call != QLatin1String("events"))
            result << call;
    return result;
}
