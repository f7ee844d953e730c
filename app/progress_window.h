#pragma once

#include "core/progress.h"

#include <QWidget>

class QLabel;
class QProgressBar;

// The progress window `ProgressWindow`: borderless, on top, not modal, 400 x 400, a picture
// with "Пожалуйста, ожидайте" over it and two captioned bars, `loader` for the phase of an
// operation and `loader2` for the item within it.
class ProgressWindow : public QWidget, public Progress
{
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget *parent = nullptr);

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
    QLabel *caption(Bar which) const { return which == Bar::Main ? m_loadertext : m_loadertext2; }

    QLabel *m_loadertext;
    QProgressBar *m_loader;
    QLabel *m_loadertext2;
    QProgressBar *m_loader2;
};
