#pragma once

#include <QString>

#include <sys/types.h>

// An Xvfb server of the benchmark's own, for the phases that show real windows on a machine
// without a display. The server picks a free display number; it ends with this object.
class VirtualDisplay
{
public:
    VirtualDisplay() = default;
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    // Starts the server and returns its display name (":N"); on failure returns an empty
    // name and puts the reason in `error`.
    QString start(QString &error);

private:
    pid_t m_server = -1;
};
