#pragma once

#include <string>

#include "platform/File.h"

// An advisory lock (flock) on the lock file of a folder, held from construction until the
// object goes, so that the read-change-write of a file there is never mixed with another
// process's. Locks are per process and open file: do not take the same folder's lock twice.
class FolderLock {
public:
    // Waits until no other process holds the lock; throws IoError when the lock file cannot be
    // opened or created.
    explicit FolderLock(const std::string& folder);

private:
    File m_lockFile;
};
