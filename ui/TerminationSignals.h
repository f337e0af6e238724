#pragma once

#include <functional>
#include <memory>

#include "platform/StopSignals.h"

class QSocketNotifier;

// The windows' face of StopSignals: while it lives, the first SIGTERM, SIGHUP (the session
// ending) or SIGINT runs onTermination from the event loop when it next processes events; a
// second, or a program not ended within a few seconds, ends it at once. One instance at a time.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> onTermination);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::function<void()> m_onTermination;
    StopSignals m_signals;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
