#pragma once

#include <QDateTime>

// The wall clock as a seam, so the time stamps of the size pass can be fixed in tests.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
