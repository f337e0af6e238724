#include "platform/FolderLock.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include <sys/file.h>
#include <sys/stat.h>

#include "platform/FolderOwner.h"
#include "platform/Interruption.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/VisibleText.h"

namespace {

// Every writer of settings files in a folder takes turns on this file; it stays in place, as
// removing it would let two writers lock two different files.
const char* const kLockFileName = ".orvanto.lock";

// Tried again and again rather than waited for in flock, so that a stop signal that came before
// the wait ends it too; a wait of more than a second says on standard error what it waits for.
void waitForLock(const File& file, const std::string& path, LockWait wait) {
    constexpr auto kRetryInterval = std::chrono::milliseconds(20);
    constexpr auto kQuietWait = std::chrono::seconds(1);
    const auto start = std::chrono::steady_clock::now();
    bool said = false;
    while (::flock(file.descriptor(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            throw IoError(IoError::Operation::Lock, path, errno);
        if (interruption::stopAsked())
            throw IoError(IoError::Operation::Lock, path, EINTR);
        if (wait && std::chrono::steady_clock::now() - start > *wait)
            throw FolderLockBusy(path);
        if (!said && std::chrono::steady_clock::now() - start > kQuietWait) {
            std::fprintf(stderr,
                         "Waiting for %s, which another Orvanto program holds while it changes "
                         "the settings files...\n",
                         visibleText(path).c_str());
            said = true;
        }
        std::this_thread::sleep_for(kRetryInterval);
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

FolderLock::FolderLock(const std::string& folder, LockWait wait)
    : m_lockFile(lockedFile(lockFileIn(folder), wait)) {}

std::string FolderLock::lockFileIn(const std::string& folder) {
    return paths::joined(folder, kLockFileName);
}
