#pragma once

#include <QString>

// The desktop's "open this file" service as a seam: the app hands the file to the program the
// desktop associates with its type, tests record what would have been opened.
class FileOpener
{
public:
    virtual ~FileOpener() = default;
    virtual void open(const QString &path) = 0;
};
