#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <iterator>
#include <limits>
#include <memory>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/Folder.h"
#include "platform/IoError.h"
#include "platform/Paths.h"

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

// A link counts as the file it leads to; a dangling one leads nowhere.
bool leadsToRegularFile(DIR* folder, const char* name) {
    struct stat info {};
    return ::fstatat(::dirfd(folder), name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

// Names of the entries directly in a folder that pass the test; an unreadable or missing folder
// gives none.
std::vector<std::string> namesWhere(const std::string& folder, bool (*test)(DIR*, const char*)) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> opened(::opendir(folder.c_str()), ::closedir);
    if (!opened)
        return names;
    while (const dirent* entry = ::readdir(opened.get())) {
        if (test(opened.get(), entry->d_name))
            names.emplace_back(entry->d_name);
    }
    return names;
}

// As many as the kernel follows in one path.
constexpr int kMostLinksFollowed = 40;

std::string linkText(const std::string& link) {
    std::vector<char> text(PATH_MAX);
    const ssize_t length = ::readlink(link.c_str(), text.data(), text.size());
    if (length < 0)
        throw IoError(IoError::Operation::ReadLink, link, errno);
    return std::string(text.data(), static_cast<std::size_t>(length));
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

bool isSameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

namespace {

std::optional<FolderSpace> spaceFrom(const struct statvfs& info) {
    const auto blocks = static_cast<std::uint64_t>(info.f_bavail);
    const auto blockSize = std::max<std::uint64_t>(info.f_frsize, 1);
    constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (blockSize > largest)
        return std::nullopt;
    FolderSpace space;
    space.allocationUnit = static_cast<std::int64_t>(blockSize);
    space.freeBytes = blocks > largest / blockSize ? std::numeric_limits<std::int64_t>::max()
                                                   : static_cast<std::int64_t>(blocks * blockSize);
    return space;
}

} // namespace

std::optional<FolderSpace> folderSpace(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0)
        return std::nullopt;
    return spaceFrom(info);
}

std::optional<FolderSpace> folderSpace(const Folder& folder) {
    struct statvfs info {};
    if (::fstatvfs(folder.descriptor(), &info) != 0)
        return std::nullopt;
    return spaceFrom(info);
}

std::string mountTypeIn(const std::string& mountInfo, unsigned major, unsigned minor) {
    // Each line: id, parent id, major:minor, root, mount point, options, optional fields, "-",
    // type, source, super options.
    const std::string device = std::to_string(major) + ':' + std::to_string(minor);
    std::istringstream lines(mountInfo);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers, field;
        if (!(fields >> id >> parent >> numbers) || numbers != device)
            continue;
        while (fields >> field && field != "-") {
        }
        std::string type;
        if (fields >> type)
            return type;
    }
    return "";
}

std::int64_t largestFileOn(long fileSystemType, const std::string& mountType) {
    // FAT keeps a file's size in 32 bits; so do FAT through FUSE and phones over MTP, whose
    // protocol and cards share that limit.
    constexpr std::int64_t kFatLargestFile = (std::int64_t{1} << 32) - 1;
    static const char* const kFatLikeFuse[] = {"fuse.fusefat", "fuse.jmtpfs", "fuse.simple-mtpfs",
                                               "fuse.mtpfs", "fuse.go-mtpfs"};
    constexpr long kFat = MSDOS_SUPER_MAGIC;
    if (fileSystemType == kFat)
        return kFatLargestFile;
    if (fileSystemType == static_cast<long>(kFuseSuperMagic) &&
        std::find(std::begin(kFatLikeFuse), std::end(kFatLikeFuse), mountType) !=
            std::end(kFatLikeFuse))
        return kFatLargestFile;
    return std::numeric_limits<std::int64_t>::max();
}

std::vector<std::string> regularFileNames(const std::string& folder) {
    return namesWhere(folder, [](DIR* opened, const char* name) {
        return name[0] != '.' && leadsToRegularFile(opened, name);
    });
}

std::string finalTarget(const std::string& path) {
    std::string current = path;
    for (int link = 0; link < kMostLinksFollowed; ++link) {
        if (entryKind(current) != Kind::SymbolicLink)
            return current;
        const std::string target = linkText(current);
        current = target.front() == '/' ? target : paths::folderOf(current) + target;
    }
    throw IoError(IoError::Operation::FollowLinks, path, ELOOP);
}

} // namespace fs_entry
