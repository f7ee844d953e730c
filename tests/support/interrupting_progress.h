#pragma once

#include "support/recording_progress.h"

#include <functional>
#include <utility>

// Records like RecordingProgress and lets a test act once while the event loop would turn.
class InterruptingProgress : public RecordingProgress
{
public:
    std::function<void()> onEvents;
    void processEvents() override
    {
        RecordingProgress::processEvents();
        if (onEvents)
            std::exchange(onEvents, nullptr)();
    }
};
