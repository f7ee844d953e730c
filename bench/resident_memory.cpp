#include "bench/resident_memory.h"

#include <QFile>

namespace {
long statusMegabytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}
} // namespace

long residentMegabytes()
{
    return statusMegabytes("VmRSS:");
}

long peakResidentMegabytes()
{
    return statusMegabytes("VmHWM:");
}

void resetPeakResident()
{
    // Writing 5 to clear_refs sets the peak back to the present figure.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}
