#include "platform/FileSystem.h"

#include <cerrno>
#include <limits>
#include <memory>

#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/IoError.h"

namespace fs_entry {

namespace {

Kind kindOf(mode_t mode) {
    if (S_ISREG(mode))
        return Kind::Regular;
    if (S_ISDIR(mode))
        return Kind::Directory;
    if (S_ISLNK(mode))
        return Kind::SymbolicLink;
    return Kind::Other;
}

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};
using OpenFolder = std::unique_ptr<DIR, FolderCloser>;

bool isRegularEntryOf(DIR* folder, const char* name) {
    struct stat info {};
    return ::fstatat(::dirfd(folder), name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(info.st_mode);
}

} // namespace

Kind entryKind(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return Kind::None;
    return kindOf(info.st_mode);
}

Kind targetKind(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return Kind::None;
    return kindOf(info.st_mode);
}

std::int64_t targetSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

bool isExistingFolder(const std::string& path) {
    return targetKind(path) == Kind::Directory;
}

bool isSameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::optional<std::int64_t> freeSpace(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0)
        return std::nullopt;
    const auto blocks = static_cast<std::uint64_t>(info.f_bavail);
    const auto blockSize = static_cast<std::uint64_t>(info.f_frsize);
    constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (blockSize != 0 && blocks > largest / blockSize)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(blocks * blockSize);
}

std::vector<std::string> regularFileNames(const std::string& folder) {
    std::vector<std::string> names;
    const OpenFolder opened(::opendir(folder.c_str()));
    if (!opened)
        return names;
    while (const dirent* entry = ::readdir(opened.get())) {
        if (entry->d_name[0] != '.' && isRegularEntryOf(opened.get(), entry->d_name))
            names.emplace_back(entry->d_name);
    }
    return names;
}

void removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw IoError("remove", path, errno);
}

void renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL)
        throw IoError("rename " + from + " to", to, errno);
    // A file system without that flag: a hard link also fails on an existing name.
    if (::link(from.c_str(), to.c_str()) != 0)
        throw IoError("rename " + from + " to", to, errno);
    removeFile(from);
}

void renameReplacing(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw IoError("rename " + from + " to", to, errno);
}

} // namespace fs_entry
