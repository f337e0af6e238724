#include "platform/FolderLock.h"

#include <cerrno>

#include <sys/file.h>
#include <sys/stat.h>

#include "platform/FolderOwner.h"
#include "platform/Interruption.h"
#include "platform/IoError.h"
#include "platform/Paths.h"

namespace {

// Every writer of settings files in a folder takes turns on this file; it stays in place, as
// removing it would let two writers lock two different files.
const char* const kLockFileName = ".orvanto.lock";

File lockedFile(const std::string& path) {
    struct stat existing {};
    const bool isNew = ::lstat(path.c_str(), &existing) != 0 && errno == ENOENT;
    File file = File::openOrCreate(path);
    // Only a lock file made here is given away: an existing one keeps its owner.
    if (isNew)
        folder_owner::giveToFolderOwner(file);
    const int result =
        interruption::retryUnlessStopped([&] { return ::flock(file.descriptor(), LOCK_EX); });
    if (result != 0)
        throw IoError(IoError::Operation::Lock, path, errno);
    return file;
}

} // namespace

FolderLock::FolderLock(const std::string& folder)
    : m_lockFile(lockedFile(paths::joined(folder, kLockFileName))) {}
