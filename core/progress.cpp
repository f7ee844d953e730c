#include "core/progress.h"

namespace ProgressSteps {

void open(Progress &progress, int maximum, const QString &caption)
{
    progress.setMaximum(Progress::Bar::Main, maximum);
    clearItems(progress);
    progress.setPosition(Progress::Bar::Main, 5);
    progress.setCaption(Progress::Bar::Main, caption);
    progress.show();
    progress.repaint(Progress::Repaint::Window);
}

void phase(Progress &progress, int position, const QString &caption, Progress::Repaint repaint)
{
    progress.setPosition(Progress::Bar::Main, position);
    if (!caption.isEmpty())
        progress.setCaption(Progress::Bar::Main, caption);
    progress.repaint(repaint);
}

void beginItems(Progress &progress, int count, bool resetItemBar)
{
    progress.setMaximum(Progress::Bar::Item, count);
    if (resetItemBar)
        clearItems(progress);
}

void item(Progress &progress, const QString &prefix, int index, int count)
{
    progress.setPosition(Progress::Bar::Item, index);
    progress.setCaption(Progress::Bar::Item,
                        prefix + QString::number(index) + QStringLiteral(" из ") + QString::number(count));
    progress.repaint(Progress::Repaint::ItemCaption);
    progress.processEvents();
}

void clearItems(Progress &progress)
{
    progress.setPosition(Progress::Bar::Item, 0);
    progress.setCaption(Progress::Bar::Item, QString());
}

void close(Progress &progress, int maximum)
{
    progress.setPosition(Progress::Bar::Main, maximum);
    progress.hide();
}

} // namespace ProgressSteps
