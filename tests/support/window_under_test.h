#pragma once

#include "app/main_window.h"
#include "support/fixed_clock.h"
#include "support/fixed_volumes.h"
#include "support/interrupting_progress.h"
#include "support/isolated_settings.h"
#include "support/recording_file_opener.h"
#include "support/scripted_dialogs.h"

// The main window with its seams scripted: answers to dialogs, a fixed clock, no mounted
// reader and the files the desktop would open recorded; progress recorded unless a test
// asks for another kind (the real progress window, say).
template <typename ProgressKind> struct WindowWithProgress
{
    IsolatedSettings settings;
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2024, 5, 1), QTime(12, 0))};
    ProgressKind progress;
    FixedVolumes volumes;
    RecordingFileOpener fileOpener;
    MainWindow mainWindow{dialogs, clock, progress, volumes, fileOpener};
};

using WindowUnderTest = WindowWithProgress<InterruptingProgress>;
