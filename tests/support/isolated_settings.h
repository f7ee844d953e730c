#pragma once

#include <QSettings>
#include <QTemporaryDir>

// The application's remembered settings kept in a temporary folder of their own while it lives,
// so no test reads the user's choices or leaves its own behind.
class IsolatedSettings
{
public:
    IsolatedSettings()
    {
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, m_folder.path());
    }

private:
    QTemporaryDir m_folder;
};
