#pragma once

// While a long operation runs the event loop turns once per item, so another click or
// drop could arrive; this marks the one running and tells a second one not to start.
class LongOperation
{
public:
    explicit LongOperation(bool &running) : m_running(running), m_started(!running) { m_running = true; }
    ~LongOperation()
    {
        if (m_started)
            m_running = false;
    }
    LongOperation(const LongOperation &) = delete;
    LongOperation &operator=(const LongOperation &) = delete;

    bool started() const { return m_started; }

private:
    bool &m_running;
    bool m_started;
};
