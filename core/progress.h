#pragma once

#include <QString>

// The progress window as a seam: long operations drive it through these calls,
// the app binds them to the real window and tests record them.
class Progress
{
public:
    enum class Bar { Main, Item }; // `loader` / `loader2` with `loadertext` / `loadertext2`
    enum class Repaint { Window, MainCaption, ItemCaption };

    virtual ~Progress() = default;
    virtual void setMaximum(Bar bar, int maximum) = 0;
    virtual void setPosition(Bar bar, int position) = 0;
    virtual void setCaption(Bar bar, const QString &text) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void repaint(Repaint what) = 0;
    virtual void processEvents() = 0;
};

// The steps every long operation follows, written once.
namespace ProgressSteps {
// Main bar to `maximum`, item bar and caption cleared, main bar to 5 with `caption`, shown and painted.
void open(Progress &progress, int maximum, const QString &caption);
// Main bar to `position`; an empty caption keeps the previous one.
void phase(Progress &progress, int position, const QString &caption, Progress::Repaint repaint);
// Before an item loop of n items.
void beginItems(Progress &progress, int count, bool resetItemBar);
// Item i of n (from 1): "<prefix>i из n", then one turn of the event loop.
void item(Progress &progress, const QString &prefix, int index, int count);
// Item bar back to 0 with an empty caption.
void clearItems(Progress &progress);
// Main bar to its maximum, then hidden.
void close(Progress &progress, int maximum);
} // namespace ProgressSteps
