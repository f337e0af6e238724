#include "ui/TerminationSignals.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include "platform/Interruption.h"

namespace {

volatile std::sig_atomic_t g_writeEnd = -1;

void onSignal(int) {
    const int savedErrno = errno;
    interruption::noteStopSignal();
    const char wakeUp = 1;
    // A full socket already holds a wake-up, so a write that fails loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &wakeUp, 1);
    errno = savedErrno;
}

std::runtime_error failure(const char* what) {
    return std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

void install(int signalNumber, struct sigaction& previous) {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(signalNumber, &action, &previous) != 0)
        throw failure("Could not handle the signals that end the session");
}

} // namespace

TerminationSignals::SocketPair::SocketPair() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0)
        throw failure("Could not watch for the end of the session");
}

TerminationSignals::SocketPair::~SocketPair() {
    ::close(ends[0]);
    ::close(ends[1]);
}

TerminationSignals::TerminationSignals(std::function<void()> onTermination)
    : m_onTermination(std::move(onTermination)),
      m_notifier(std::make_unique<QSocketNotifier>(m_sockets.ends[1], QSocketNotifier::Read)) {
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readPending(); });
    g_writeEnd = m_sockets.ends[0];
    install(SIGTERM, m_previousTerm);
    install(SIGHUP, m_previousHangUp);
    // Ctrl+C in the terminal that started the window: stopped and cleaned up like the rest.
    install(SIGINT, m_previousInterrupt);
    // Past the file size limit a write then fails with "File too large" and is reported.
    m_previousFileSizeLimit = std::signal(SIGXFSZ, SIG_IGN);
}

TerminationSignals::~TerminationSignals() {
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    ::sigaction(SIGHUP, &m_previousHangUp, nullptr);
    ::sigaction(SIGINT, &m_previousInterrupt, nullptr);
    std::signal(SIGXFSZ, m_previousFileSizeLimit);
    g_writeEnd = -1;
}

void TerminationSignals::readPending() {
    char wakeUps[64];
    bool received = false;
    while (::read(m_sockets.ends[1], wakeUps, sizeof wakeUps) > 0)
        received = true;
    if (received)
        m_onTermination();
}
