#pragma once

#include <chrono>
#include <cstdint>

#include <QMetaObject>

// Times the stretches in which the window thread does not run its event loop: from the moment
// the event dispatcher wakes (awake()) to the moment it is about to wait again (aboutToBlock()),
// the thread is busy with what it was woken for, and a window event that arrives meanwhile
// waits. The longest stretch is the longest the window went without answering.
class MessageGaps {
public:
    MessageGaps() = default;
    MessageGaps(const MessageGaps&) = delete;
    MessageGaps& operator=(const MessageGaps&) = delete;
    ~MessageGaps();

    void start();
    void stop();

    std::int64_t wakeUps() const { return m_wakeUps; }
    double longestMilliseconds() const;
    // Stretches longer than the 16 ms of one frame at 60 Hz.
    std::int64_t longStretches() const { return m_longStretches; }

private:
    void end();

    QMetaObject::Connection m_awake;
    QMetaObject::Connection m_aboutToBlock;
    std::chrono::steady_clock::time_point m_busySince;
    bool m_busy = false;
    std::chrono::steady_clock::duration m_longest{};
    std::int64_t m_wakeUps = 0;
    std::int64_t m_longStretches = 0;
};
