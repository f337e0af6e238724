#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/File.h"

// How long a folder's lock is waited for; nullopt waits until it is free or a stop is asked.
using LockWait = std::optional<std::chrono::milliseconds>;

// Another process held a folder's lock for longer than the caller would wait. Nothing failed:
// the caller decides what to go without. what() holds only the lock file's path.
class FolderLockBusy : public std::runtime_error {
public:
    explicit FolderLockBusy(const std::string& lockFile) : std::runtime_error(lockFile) {}

    std::string lockFile() const { return what(); }
};

// An advisory lock (flock) on the lock file of a folder, held from construction until the
// object goes, so that the read-change-write of a file there is never mixed with another
// process's. Locks are per process and open file: do not take the same folder's lock twice.
class FolderLock {
public:
    // Waits until no other process holds the lock, or for wait at most: then throws
    // FolderLockBusy. Throws IoError when the lock file cannot be opened or created, and when a
    // stop is asked during the wait.
    explicit FolderLock(const std::string& folder, LockWait wait = std::nullopt);

    // The lock file of folder.
    static std::string lockFileIn(const std::string& folder);
    // Called with the lock file's path when a wait has lasted a second, so that a face can say
    // what the program waits for; none by default. Set before any lock is taken.
    static void setLongWaitNotice(std::function<void(const std::string&)> notice);

private:
    File m_lockFile;
};
