#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

// Runs one piece of long work beside the caller's thread. The signals that ask a job to stop
// (SIGINT, SIGTERM, SIGHUP) are blocked in it, so they reach the thread that watches for them
// and never interrupt the work's reads and writes.
class JobThread {
public:
    explicit JobThread(std::function<void()> work);
    // Waits for the work to end.
    ~JobThread();
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    // True once the work has returned or thrown; the caller may then join() without waiting.
    bool finished() const { return m_finished.load(); }
    // Waits for the end of the work and throws what it threw.
    void join();

private:
    std::atomic<bool> m_finished{false};
    std::exception_ptr m_failure;
    std::thread m_thread;
};
