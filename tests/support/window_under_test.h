#pragma once

#include "app/main_window.h"
#include "support/fixed_clock.h"
#include "support/fixed_volumes.h"
#include "support/interrupting_progress.h"
#include "support/recording_file_opener.h"
#include "support/scripted_dialogs.h"

// The main window with its seams scripted: answers to dialogs, a fixed clock, recorded
// progress, no mounted reader and the files the desktop would open recorded.
struct WindowUnderTest
{
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2024, 5, 1), QTime(12, 0))};
    InterruptingProgress progress;
    FixedVolumes volumes;
    RecordingFileOpener fileOpener;
    MainWindow mainWindow{dialogs, clock, progress, volumes, fileOpener};
};
