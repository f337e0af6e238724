#pragma once

#include <atomic>
#include <cerrno>
#include <thread>

// A stop signal (Ctrl+C, a kill, a closed terminal) or a job's stop interrupts a waiting system
// call with EINTR. The calls below are retried after other signals but not after those, so that
// a FIFO, a stuck lock or a medium that stopped answering cannot hold the program once it has
// been asked to stop.
namespace interruption {

// While it lives, stop is the flag of the job this thread runs: once it is set, a call
// interrupted on this thread is not retried.
class JobStopOnThisThread {
public:
    explicit JobStopOnThisThread(const std::atomic<bool>& stop);
    ~JobStopOnThisThread();
    JobStopOnThisThread(const JobStopOnThisThread&) = delete;
    JobStopOnThisThread& operator=(const JobStopOnThisThread&) = delete;
};

// True once a stop signal arrived (platform/StopSignals.h) or this thread's job was asked to
// stop.
bool stopAsked() noexcept;

// Interrupts the system call the thread waits in, if any, with a signal whose handler does
// nothing; the thread then finds its job's stop flag set.
void interruptThread(std::thread& thread);

// Calls call() until it returns something other than -1 with errno EINTR, or a stop was asked:
// then that -1, with errno EINTR, is returned for the caller to report.
template <typename Call> auto retryUnlessStopped(Call call) -> decltype(call()) {
    for (;;) {
        const auto result = call();
        if (result != -1 || errno != EINTR || stopAsked())
            return result;
    }
}

} // namespace interruption
