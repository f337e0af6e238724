#include "platform/Interruption.h"

#include <atomic>

namespace interruption {

namespace {

std::atomic<bool> g_stopSignalArrived{false};
static_assert(std::atomic<bool>::is_always_lock_free,
              "a signal handler may only set lock-free atomics");

} // namespace

void noteStopSignal() noexcept {
    g_stopSignalArrived.store(true, std::memory_order_relaxed);
}

bool stopSignalArrived() noexcept {
    return g_stopSignalArrived.load(std::memory_order_relaxed);
}

} // namespace interruption
