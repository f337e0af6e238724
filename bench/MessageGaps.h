#pragma once

#include <chrono>
#include <cstdint>

#include <QMetaObject>

// Times the intervals between the calls that let waiting window events run. Every
// QCoreApplication::processEvents() call makes the event dispatcher emit awake() once, so the
// longest interval between two awake() signals, and from the start and to the stop, is the
// longest time the window went without handling its events.
class MessageGaps {
public:
    MessageGaps() = default;
    MessageGaps(const MessageGaps&) = delete;
    MessageGaps& operator=(const MessageGaps&) = delete;
    ~MessageGaps();

    // True when this thread's event dispatcher announces each processEvents() call once.
    static bool dispatcherAnnouncesCalls();

    void start();
    void stop();

    std::int64_t calls() const { return m_calls; }
    double longestMilliseconds() const;
    // Intervals longer than the 20 ms a window may go without handling its events.
    std::int64_t longIntervals() const { return m_longIntervals; }

private:
    void mark();

    QMetaObject::Connection m_connection;
    std::chrono::steady_clock::time_point m_last;
    std::chrono::steady_clock::duration m_longest{};
    std::int64_t m_calls = 0;
    std::int64_t m_longIntervals = 0;
};
