#pragma once

#include "core/progress.h"

#include <QElapsedTimer>
#include <QWidget>

#include <chrono>

class QLabel;
class QProgressBar;

// The progress window `ProgressWindow`: borderless, on top, not modal, 400 x 400, a picture
// with "Пожалуйста, ожидайте" over it and two captioned bars, `loader` for the phase of an
// operation and `loader2` for the item within it.
//
// Every call of the protocol is taken, but a loop of many items would spend its time painting
// and turning the event loop: the item bar and caption reach the screen, and the event loop
// turns, at most once per `refreshInterval`, and always at the last item of a loop. Any
// other call (a phase, show, hide) first puts the latest item on the bar.
//
// Every paint on an X server waits for the server to take the last one, so the window paints
// only when asked to: a new bar position waits for the next repaint or turn of the event loop,
// a repaint paints at once what changed since the last one, and the window hides without a
// last paint that would leave the screen as it came.
class ProgressWindow : public QWidget, public Progress
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultRefreshInterval{30};

    explicit ProgressWindow(std::chrono::milliseconds refreshInterval = DefaultRefreshInterval,
                            QWidget *parent = nullptr);

    QLabel *loadertext() const { return m_loadertext; }
    QProgressBar *loader() const { return m_loader; }
    QLabel *loadertext2() const { return m_loadertext2; }
    QProgressBar *loader2() const { return m_loader2; }

    void setMaximum(Bar bar, int maximum) override;
    void setPosition(Bar bar, int position) override;
    void setCaption(Bar bar, const QString &text) override;
    void show() override;
    void hide() override;
    void repaint(Repaint what) override;
    void processEvents() override;

private:
    QProgressBar *bar(Bar which) const { return which == Bar::Main ? m_loader : m_loader2; }
    bool refreshDue() const;
    // Puts the item position and caption given since the last refresh on the window.
    void showLatestItem();

    std::chrono::milliseconds m_refreshInterval;
    QElapsedTimer m_sinceRefresh;
    bool m_refreshForced = false; // the last item of a loop, or a phase: shown without waiting
    bool m_itemPending = false;
    int m_itemPosition = 0;
    QString m_itemCaption;

    QLabel *m_loadertext;
    QProgressBar *m_loader;
    QLabel *m_loadertext2;
    QProgressBar *m_loader2;
};
