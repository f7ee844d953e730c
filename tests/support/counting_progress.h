#pragma once

#include "core/progress.h"

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

// A progress window that counts its calls and can end the process at one of them.
class CountingProgress : public Progress
{
public:
    int calls = 0;
    int killAt = -1;

    void setMaximum(Bar, int) override { count(); }
    void setPosition(Bar, int) override { count(); }
    void setCaption(Bar, const QString &) override { count(); }
    void show() override { count(); }
    void hide() override { count(); }
    void repaint(Repaint) override { count(); }
    void processEvents() override { count(); }

private:
    void count()
    {
        if (calls++ == killAt)
            killThisProcess();
    }

public:
    static void killThisProcess()
    {
#ifdef Q_OS_UNIX
        ::kill(::getpid(), SIGKILL);
#endif
    }
};
