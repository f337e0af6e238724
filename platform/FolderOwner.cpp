#include "platform/FolderOwner.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/IoError.h"
#include "platform/Paths.h"

namespace folder_owner {

namespace {

// The folder's owner and group when there is one to give: only root gives files away.
std::optional<struct stat> ownerToGive(const std::string& path) {
    if (::geteuid() != 0)
        return std::nullopt;
    const std::string parent = paths::folderOf(path.substr(0, path.find_last_not_of('/') + 1));
    const std::string folder = parent.empty() ? std::string(".") : parent;
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        throw IoError(IoError::Operation::ReadOwner, folder, errno);
    return info;
}

} // namespace

void giveToFolderOwner(const std::string& path) {
    if (const auto owner = ownerToGive(path)) {
        if (::fchownat(AT_FDCWD, path.c_str(), owner->st_uid, owner->st_gid, AT_SYMLINK_NOFOLLOW) !=
            0)
            throw IoError(IoError::Operation::SetOwner, path, errno);
    }
}

void giveToFolderOwner(const File& file) {
    if (const auto owner = ownerToGive(file.path())) {
        if (::fchown(file.descriptor(), owner->st_uid, owner->st_gid) != 0)
            throw IoError(IoError::Operation::SetOwner, file.path(), errno);
    }
}

bool belongsToThisUser(const std::string& path) {
    struct stat entry {};
    return ::lstat(path.c_str(), &entry) == 0 && entry.st_uid == ::geteuid();
}

} // namespace folder_owner
