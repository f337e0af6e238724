#include "platform/JobThread.h"

#include <csignal>
#include <utility>

#include <pthread.h>

namespace {

void blockStopSignals() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stopSignals, signalNumber);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
}

} // namespace

JobThread::JobThread(std::function<void()> work)
    : m_thread([this, work = std::move(work)] {
          blockStopSignals();
          try {
              work();
          } catch (...) {
              m_failure = std::current_exception();
          }
          m_finished.store(true);
      }) {}

JobThread::~JobThread() {
    if (m_thread.joinable())
        m_thread.join();
}

void JobThread::join() {
    if (m_thread.joinable())
        m_thread.join();
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}
