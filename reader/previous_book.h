#pragma once

#include <QByteArray>

// One book of the library on the reader as a synchronisation finds it.
struct PreviousBook
{
    qint64 id = 0;
    QByteArray filePath;  // as stored: relative to the device root, forward slashes, UTF-8
    QByteArray thumbnail; // as stored; empty when NULL
};
