#pragma once

#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

// While it lives, SIGTERM and SIGHUP (the session ending) and SIGINT no longer kill the program:
// the handler only writes into a socket, and onTermination runs from the event loop when it next
// processes events; a call that fails with EINTR is no longer retried (platform/Interruption.h).
// SIGXFSZ is ignored, so that past the file size limit a write fails and is reported rather than
// killing the program. One instance at a time; the handlers in place before it come back when it
// goes.
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
    struct sigaction m_previousInterrupt {};
    void (*m_previousFileSizeLimit)(int) = SIG_DFL;
};
