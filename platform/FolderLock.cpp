#include "platform/FolderLock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <utility>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/FolderOwner.h"
#include "platform/Interruption.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/StopSignals.h"

namespace {

// Every writer of settings files in a folder takes turns on this file; it stays in place, as
// removing it would let two writers lock two different files.
const char* const kLockFileName = ".orvanto.lock";

std::function<void(const std::string&)> g_longWaitNotice;

// Ends the calling thread's wait in flock at the times the wait must be looked at: a signal
// whose handler does nothing interrupts the call. It fires again each second after the first
// time, so that a stop that came just before the call started is seen all the same.
class WaitAlarm {
public:
    explicit WaitAlarm(const std::string& path) {
        sigevent event{};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = StopSignals::jobInterruptSignal();
        event._sigev_un._tid = static_cast<pid_t>(::syscall(SYS_gettid));
        if (::timer_create(CLOCK_MONOTONIC, &event, &m_timer) != 0)
            throw IoError(IoError::Operation::Lock, path, errno);
    }
    ~WaitAlarm() { ::timer_delete(m_timer); }
    WaitAlarm(const WaitAlarm&) = delete;
    WaitAlarm& operator=(const WaitAlarm&) = delete;

    void setFor(std::chrono::nanoseconds after) {
        constexpr std::chrono::nanoseconds kAtLeast{1000000};
        const auto first = std::max(after, kAtLeast);
        itimerspec times{};
        times.it_value.tv_sec = static_cast<time_t>(first.count() / 1000000000);
        times.it_value.tv_nsec = static_cast<long>(first.count() % 1000000000);
        times.it_interval.tv_sec = 1;
        ::timer_settime(m_timer, 0, &times, nullptr);
    }

private:
    timer_t m_timer{};
};

// Waits in flock itself, so that nothing polls; a stop signal ends the wait (its handler does not
// restart the call), and so do the alarm's times: the end of the caller's wait, and a second,
// when the face is told what the program waits for.
void waitForLock(const File& file, const std::string& path, LockWait wait) {
    constexpr auto kQuietWait = std::chrono::seconds(1);
    if (::flock(file.descriptor(), LOCK_EX | LOCK_NB) == 0)
        return;
    if (errno != EWOULDBLOCK)
        throw IoError(IoError::Operation::Lock, path, errno);
    const auto start = std::chrono::steady_clock::now();
    bool told = false;
    WaitAlarm alarm(path);
    for (;;) {
        const auto waited = std::chrono::steady_clock::now() - start;
        if (interruption::stopAsked())
            throw IoError(IoError::Operation::Lock, path, EINTR);
        if (wait && waited >= *wait)
            throw FolderLockBusy(path);
        if (!told && waited >= kQuietWait) {
            told = true;
            if (g_longWaitNotice)
                g_longWaitNotice(path);
        }
        std::chrono::nanoseconds next = told ? std::chrono::seconds(1) : kQuietWait - waited;
        if (wait)
            next = std::min<std::chrono::nanoseconds>(next, *wait - waited);
        alarm.setFor(next);
        if (::flock(file.descriptor(), LOCK_EX) == 0)
            return;
        if (errno != EINTR)
            throw IoError(IoError::Operation::Lock, path, errno);
    }
}

File lockedFile(const std::string& path, LockWait wait) {
    struct stat existing {};
    const bool isNew = ::lstat(path.c_str(), &existing) != 0 && errno == ENOENT;
    File file = File::openOrCreate(path);
    // Only a lock file made here is given away: an existing one keeps its owner.
    if (isNew)
        folder_owner::giveToFolderOwner(file);
    waitForLock(file, path, wait);
    return file;
}

} // namespace

void FolderLock::setLongWaitNotice(std::function<void(const std::string&)> notice) {
    g_longWaitNotice = std::move(notice);
}

FolderLock::FolderLock(const std::string& folder, LockWait wait)
    : m_lockFile(lockedFile(lockFileIn(folder), wait)) {}

std::string FolderLock::lockFileIn(const std::string& folder) {
    return paths::joined(folder, kLockFileName);
}
