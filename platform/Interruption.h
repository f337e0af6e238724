#pragma once

#include <cerrno>

// A stop signal (Ctrl+C, a kill, a closed terminal) interrupts a waiting system call with EINTR.
// The calls below are retried after other signals but not after that one, so that a FIFO, a
// stuck lock or a slow device cannot hold the program once it has been asked to stop.
namespace interruption {

// Notes that a stop signal arrived. Async-signal-safe: made for signal handlers.
void noteStopSignal() noexcept;
bool stopSignalArrived() noexcept;

// Calls call() until it returns something other than -1 with errno EINTR, or a stop signal has
// arrived: then that -1, with errno EINTR, is returned for the caller to report.
template <typename Call> auto retryUnlessStopped(Call call) -> decltype(call()) {
    for (;;) {
        const auto result = call();
        if (result != -1 || errno != EINTR || stopSignalArrived())
            return result;
    }
}

} // namespace interruption
