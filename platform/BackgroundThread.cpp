#include "platform/BackgroundThread.h"

#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace background_thread {

namespace {

constexpr int kNiceSteps = 5;

} // namespace

void yieldToForeground() noexcept {
    const auto thread = static_cast<id_t>(::gettid());
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, thread);
    // Only a lower priority is asked for, which needs no privilege; where it is refused the
    // thread simply keeps its own.
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, thread, current + kNiceSteps);
}

} // namespace background_thread
