#pragma once

#include <chrono>

// A descriptor that turns readable once give() has been called, and stays readable: an event
// that poll() and Qt's QSocketNotifier can wait on, so that nobody asks "done yet?" on a timer.
class Notice {
public:
    Notice();
    ~Notice();
    Notice(const Notice&) = delete;
    Notice& operator=(const Notice&) = delete;

    // From any thread; async-signal-safe.
    void give() noexcept;
    // Waits until the notice is given or timeout has passed; true when it has been given.
    bool waitFor(std::chrono::milliseconds timeout) const;
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};
