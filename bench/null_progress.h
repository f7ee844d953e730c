#pragma once

#include "core/progress.h"

// A progress window that shows nothing, so a phase measures the work alone.
class NullProgress : public Progress
{
public:
    void setMaximum(Bar, int) override {}
    void setPosition(Bar, int) override {}
    void setCaption(Bar, const QString &) override {}
    void show() override {}
    void hide() override {}
    void repaint(Repaint) override {}
    void processEvents() override {}
};
