#pragma once

#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

// While it lives, SIGTERM and SIGHUP (the session ending) no longer kill the program: the handler
// only writes into a socket, and onTermination runs from the event loop when it next processes
// events. One instance at a time; the handlers in place
// before it come back when it goes.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> onTermination);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    // The two connected ends: the handler writes into the first, the notifier reads the second.
    struct SocketPair {
        SocketPair();
        ~SocketPair();
        int ends[2] = {-1, -1};
    };

    void readPending();

    std::function<void()> m_onTermination;
    SocketPair m_sockets;
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_previousTerm {};
    struct sigaction m_previousHangUp {};
};
