#pragma once

#include "core/file_opener.h"

#include <QStringList>

// Records every file the desktop would have opened, in order.
class RecordingFileOpener : public FileOpener
{
public:
    QStringList opened;
    void open(const QString &path) override { opened << path; }
};
