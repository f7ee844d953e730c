#pragma once

#include "core/clock.h"

// A clock that always reads the same local wall-clock time.
class FixedClock : public Clock
{
public:
    explicit FixedClock(QDateTime time) : m_time(std::move(time)) {}
    QDateTime now() const override { return m_time; }

private:
    QDateTime m_time;
};
