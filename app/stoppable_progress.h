#pragma once

#include "core/progress.h"

// Thrown out of a turn of the event loop once the running operation has been stopped, so it
// unwinds at once; the main window's handlers end quietly on it.
struct OperationStopped
{
};

// The progress window as the main window's operations drive it: every call goes on to the
// window, and after stop() the operation's next turn of the event loop ends it.
class StoppableProgress : public Progress
{
public:
    explicit StoppableProgress(Progress &window) : m_window(window) {}

    // The operation running now ends at its next turn of the event loop.
    void stop() { m_stopping = true; }

    void setMaximum(Bar bar, int maximum) override { m_window.setMaximum(bar, maximum); }
    void setPosition(Bar bar, int position) override { m_window.setPosition(bar, position); }
    void setCaption(Bar bar, const QString &text) override { m_window.setCaption(bar, text); }
    void show() override { m_window.show(); }
    void hide() override { m_window.hide(); }
    void repaint(Repaint what) override { m_window.repaint(what); }
    void processEvents() override;

private:
    Progress &m_window;
    bool m_stopping = false;
};
