#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/FolderLock.h"

class Folder;

// Small files read and written in one piece (settings files, /proc files).
namespace whole_file {

// The most a read takes; a larger file is refused rather than cut.
constexpr std::size_t kMaxReadSize = 4 * 1024 * 1024;

// The content of the file; throws IoError when it cannot be read. Only a regular file of at
// most kMaxReadSize bytes is read: a FIFO or a device is refused at once, never waited on.
std::string read(const std::string& path);
// The same for name in an opened folder; a file larger than kMaxReadSize throws IoError with
// EFBIG.
std::string read(const Folder& folder, const std::string& name);
// The content of the file, or nullopt when nothing exists at path; throws IoError otherwise.
std::optional<std::string> readIfExists(const std::string& path);
// Puts change(old content, or nullopt when there is no file) in place of the file at path, or
// creates it. A link at path stays and its final target gets the new content; a link that
// belongs to another user (root in a user's home) is refused with ELOOP. The whole
// read-change-write holds the lock of the target's folder (platform/FolderLock.h), so two
// writers never lose each other's changes. A crash of the program or a full disk leaves either the
// old or the new content: the content goes to a new file beside the target (platform/PendingFile.h:
// without a name, or hidden as ".NAME.XXXXXX"), which then takes its place; hidden files of that
// pattern left by a killed writer are removed. The
// target's permission bits are kept, and its owner when running as root; a new file gets
// 0666 less the umask, and as root the owner of its folder. A change that changes nothing
// writes nothing. A file that this process may not write is refused, as a write in place
// would be. Throws IoError; the temporary file is removed on every failure. A lock held by another
// process for longer than lockWait throws FolderLockBusy, and the file stays as it was.
void update(const std::string& path,
            const std::function<std::string(const std::optional<std::string>&)>& change,
            LockWait lockWait = std::nullopt);

} // namespace whole_file
