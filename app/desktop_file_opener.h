#pragma once

#include "core/file_opener.h"

// Opens a file with the program the desktop associates with its type.
class DesktopFileOpener : public FileOpener
{
public:
    void open(const QString &path) override;
};
