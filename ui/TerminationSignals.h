#pragma once

#include <functional>
#include <memory>

#include "platform/StopSignals.h"

class QSocketNotifier;

// The windows' face of StopSignals: while it lives, the first SIGTERM, SIGHUP (the session
// ending) or SIGINT runs onTermination from the event loop when it next processes events; a
// second, or a program not ended within a few seconds, runs onGiveUp there, which ends the
// program (giveUpOnJob, StopSignals::endNow); should the event loop not get to it, the program
// ends at once all the same. One instance at a time.
class TerminationSignals {
public:
    TerminationSignals(std::function<void()> onTermination, std::function<void()> onGiveUp);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    StopSignals m_signals;
    std::unique_ptr<QSocketNotifier> m_terminated;
    std::unique_ptr<QSocketNotifier> m_givingUp;
};
