#pragma once

#include <QSettings>
#include <QTemporaryDir>

// The window's remembered choices kept in a folder of the test's own, empty at first, so no
// test reads the user's settings or another test's.
struct IsolatedSettings
{
    QTemporaryDir folder;
    IsolatedSettings() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path()); }
};
