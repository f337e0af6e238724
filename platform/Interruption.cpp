#include "platform/Interruption.h"

#include <csignal>

#include <pthread.h>

#include "platform/StopSignals.h"

namespace interruption {

namespace {

thread_local const std::atomic<bool>* t_jobStop = nullptr;

} // namespace

JobStopOnThisThread::JobStopOnThisThread(const std::atomic<bool>& stop) {
    StopSignals::jobInterruptSignal();
    t_jobStop = &stop;
}

JobStopOnThisThread::~JobStopOnThisThread() {
    t_jobStop = nullptr;
}

bool stopAsked() noexcept {
    return StopSignals::stopSignal() != 0 || (t_jobStop && t_jobStop->load());
}

void interruptThread(std::thread& thread) {
    ::pthread_kill(thread.native_handle(), StopSignals::jobInterruptSignal());
}

} // namespace interruption
