#include "platform/StopSignals.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

#include "platform/IoError.h"

namespace {

constexpr std::array<int, 3> kStopSignals = {SIGINT, SIGTERM, SIGHUP};

// What the handler reads; written only while no handler is installed, or (the leftover note)
// swapped in whole, so that a handler never reads a half-written text.
volatile std::sig_atomic_t g_stopSignal = 0;
volatile std::sig_atomic_t g_wakeUpEnd = -1;
// The give-up pipe's end while a watcher gives up itself; -1 for an end at once.
volatile std::sig_atomic_t g_giveUpEnd = -1;
volatile std::sig_atomic_t g_giveUpAsked = 0;
std::string g_announcement;
std::array<std::string, 2> g_leftoverNotes;
std::atomic<const std::string*> g_leftoverNote{nullptr};
static_assert(std::atomic<const std::string*>::is_always_lock_free,
              "a signal handler may only read lock-free atomics");

std::array<struct sigaction, kStopSignals.size()> g_previous{};
struct sigaction g_previousAlarm {};

void writeToStandardError(const std::string& text) {
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
}

// The default action of the first signal (or of this one), taken as soon as the handler returns.
void endAtOnce(int signalNumber) {
    if (const std::string* note = g_leftoverNote.load())
        writeToStandardError(*note);
    const int ending = g_stopSignal != 0 ? static_cast<int>(g_stopSignal) : signalNumber;
    std::signal(ending, SIG_DFL);
    std::signal(signalNumber, SIG_DFL);
    ::raise(ending);
}

// The watcher is told once, and given kRemovalSeconds; then the end comes at once.
void giveUpOrEndAtOnce(int signalNumber) {
    if (g_giveUpEnd < 0 || (g_giveUpAsked != 0 && signalNumber == SIGALRM)) {
        endAtOnce(signalNumber);
        return;
    }
    // The watcher is removing files: a further signal waits for it, as the alarm bounds the wait.
    if (g_giveUpAsked != 0)
        return;
    g_giveUpAsked = 1;
    const char giveUp = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_giveUpEnd, &giveUp, 1);
    ::alarm(StopSignals::kRemovalSeconds);
}

void onStopSignal(int signalNumber) {
    const int savedErrno = errno;
    if (g_stopSignal != 0) {
        giveUpOrEndAtOnce(signalNumber);
    } else {
        g_stopSignal = signalNumber;
        writeToStandardError(g_announcement);
        const char wakeUp = 1;
        [[maybe_unused]] const ssize_t written = ::write(g_wakeUpEnd, &wakeUp, 1);
        ::alarm(StopSignals::kGraceSeconds);
    }
    errno = savedErrno;
}

void onGraceOver(int signalNumber) {
    const int savedErrno = errno;
    giveUpOrEndAtOnce(signalNumber);
    errno = savedErrno;
}

void makePipe(int (&ends)[2], const char* what) {
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw IoError(IoError::Operation::Start, what, errno);
}

// No SA_RESTART: a waiting system call returns EINTR, so that the caller can look at its stop.
void install(int signalNumber, void (*handler)(int), struct sigaction& previous) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int stopSignal : kStopSignals)
        sigaddset(&action.sa_mask, stopSignal);
    sigaddset(&action.sa_mask, SIGALRM);
    if (::sigaction(signalNumber, &action, &previous) != 0)
        throw IoError(IoError::Operation::Start, "the stop signals' handler", errno);
}

} // namespace

StopSignals::StopSignals(std::string announcement) {
    makePipe(m_wakeUp, "the stop signals' pipe");
    makePipe(m_giveUp, "the stop signals' pipe");
    g_announcement = std::move(announcement);
    g_stopSignal = 0;
    g_giveUpAsked = 0;
    g_wakeUpEnd = m_wakeUp[1];
    for (std::size_t index = 0; index < kStopSignals.size(); ++index)
        install(kStopSignals[index], onStopSignal, g_previous[index]);
    install(SIGALRM, onGraceOver, g_previousAlarm);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

StopSignals::~StopSignals() {
    ::alarm(0);
    for (std::size_t index = 0; index < kStopSignals.size(); ++index)
        ::sigaction(kStopSignals[index], &g_previous[index], nullptr);
    ::sigaction(SIGALRM, &g_previousAlarm, nullptr);
    g_wakeUpEnd = -1;
    g_giveUpEnd = -1;
    g_leftoverNote.store(nullptr);
    for (const int end : {m_wakeUp[0], m_wakeUp[1], m_giveUp[0], m_giveUp[1]})
        ::close(end);
}

void StopSignals::watchGiveUp() {
    g_giveUpEnd = m_giveUp[1];
}

void StopSignals::unwatchGiveUp() {
    g_giveUpEnd = -1;
}

void StopSignals::endNow() {
    ::alarm(0);
    endAtOnce(g_stopSignal != 0 ? static_cast<int>(g_stopSignal) : SIGTERM);
    std::abort();
}

int StopSignals::stopSignal() noexcept {
    return g_stopSignal;
}

// Without SA_RESTART its handler ends the wait.
int StopSignals::jobInterruptSignal() {
    static const int signalNumber = SIGRTMIN + 1;
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        if (::sigaction(signalNumber, &action, nullptr) != 0)
            throw IoError(IoError::Operation::Start, "the job interruption's handler", errno);
    });
    return signalNumber;
}

void StopSignals::setLeftoverNote(const std::string& note) {
    // The text not in use is rewritten; one that a handler might be reading is left alone.
    const std::string* current = g_leftoverNote.load();
    std::string& next = current == &g_leftoverNotes[0] ? g_leftoverNotes[1] : g_leftoverNotes[0];
    next = note;
    g_leftoverNote.store(note.empty() ? nullptr : &next);
}
