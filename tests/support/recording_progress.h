#pragma once

#include "core/progress.h"

#include <QStringList>

// Records every call as one line ("max main 30", "pos item 3", "caption main Идет…",
// "show", "hide", "repaint window", "events"), so a test can compare the sequence.
class RecordingProgress : public Progress
{
public:
    QStringList calls;
    bool visible = false;
    int mainPosition = 0;
    int itemPosition = 0;
    int mainMaximum = 0;
    int itemMaximum = 0;
    QString mainCaption;
    QString itemCaption;

    void setMaximum(Bar bar, int maximum) override;
    void setPosition(Bar bar, int position) override;
    void setCaption(Bar bar, const QString &text) override;
    void show() override;
    void hide() override;
    void repaint(Repaint what) override;
    void processEvents() override;

    // The calls without the repaints and event turns: the visible states in order.
    QStringList states() const;
};
