#include "app/terminal/StopSignals.h"

#include <csignal>
#include <initializer_list>

#include "platform/Interruption.h"

namespace stop_signals {

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void onStopSignal(int signalNumber) {
    g_stopSignal = signalNumber;
    interruption::noteStopSignal();
}

void handleStopSignalsWith(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signalNumber, &action, nullptr);
}

} // namespace

void catchStopSignals() {
    handleStopSignalsWith(onStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
    // Past the file size limit a write then fails with "File too large" and is reported.
    std::signal(SIGXFSZ, SIG_IGN);
}

void restoreDefaultSignals() {
    handleStopSignalsWith(SIG_DFL);
}

int stopSignal() {
    return g_stopSignal;
}

} // namespace stop_signals
