#include "platform/Interruption.h"

#include <csignal>
#include <mutex>

#include <pthread.h>

namespace interruption {

namespace {

std::atomic<bool> g_stopSignalArrived{false};
static_assert(std::atomic<bool>::is_always_lock_free,
              "a signal handler may only set lock-free atomics");

thread_local const std::atomic<bool>* t_jobStop = nullptr;

// A real-time signal no other part of the program uses; without SA_RESTART it ends the wait.
int interruptSignal() {
    static const int signalNumber = SIGRTMIN + 1;
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        ::sigaction(signalNumber, &action, nullptr);
    });
    return signalNumber;
}

} // namespace

void noteStopSignal() noexcept {
    g_stopSignalArrived.store(true, std::memory_order_relaxed);
}

bool stopSignalArrived() noexcept {
    return g_stopSignalArrived.load(std::memory_order_relaxed);
}

JobStopOnThisThread::JobStopOnThisThread(const std::atomic<bool>& stop) {
    interruptSignal();
    t_jobStop = &stop;
}

JobStopOnThisThread::~JobStopOnThisThread() {
    t_jobStop = nullptr;
}

bool stopAsked() noexcept {
    return stopSignalArrived() || (t_jobStop && t_jobStop->load());
}

void interruptThread(std::thread& thread) {
    ::pthread_kill(thread.native_handle(), interruptSignal());
}

} // namespace interruption
