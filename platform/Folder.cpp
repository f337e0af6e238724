#include "platform/Folder.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/Interruption.h"
#include "platform/IoError.h"
#include "platform/Paths.h"

Folder::Folder(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

Folder Folder::open(const std::string& path) {
    const std::string opened = path.empty() ? "." : path;
    // O_PATH: looking names up needs only the right to search the folder, not to list it.
    const int fd = interruption::retryUnlessStopped(
        [&] { return ::open(opened.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0)
        throw IoError(IoError::Operation::OpenFolder, opened, errno);
    return Folder(fd, path);
}

Folder::~Folder() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string Folder::pathOf(const std::string& name) const {
    return paths::joined(m_path, name);
}

namespace {

// A descriptor of the folder itself that may be read and locked: the O_PATH one may do neither.
std::optional<File> readableCopy(const Folder& folder) {
    const int fd = interruption::retryUnlessStopped(
        [&] { return ::openat(folder.descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0)
        return std::nullopt;
    return File::adopt(fd, folder.pathOf(""));
}

bool sameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// File systems that show the kernel's state: no file can be made there, whatever the
// permissions say.
bool holdsNoFiles(long type) {
    static const long kKernelStates[] = {PROC_SUPER_MAGIC,    SYSFS_MAGIC,   CGROUP_SUPER_MAGIC,
                                         CGROUP2_SUPER_MAGIC, DEBUGFS_MAGIC, SECURITYFS_MAGIC,
                                         TRACEFS_MAGIC,       BPF_FS_MAGIC,  PSTOREFS_MAGIC};
    return std::find(std::begin(kKernelStates), std::end(kKernelStates), type) !=
           std::end(kKernelStates);
}

} // namespace

std::vector<std::string> Folder::entryNames() const {
    std::vector<std::string> names;
    std::optional<File> readable = readableCopy(*this);
    if (!readable)
        return names;
    const int fd = ::dup(readable->descriptor());
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(fd < 0 ? nullptr : ::fdopendir(fd),
                                                      ::closedir);
    if (!listing) {
        if (fd >= 0)
            ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

bool Folder::holds(const std::string& name) const {
    struct stat info {};
    return ::fstatat(m_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

void Folder::removeFile(const std::string& name) const {
    if (::unlinkat(m_fd, name.c_str(), 0) != 0 && errno != ENOENT)
        throw IoError(IoError::Operation::Remove, pathOf(name), errno);
}

std::optional<File> Folder::takeTurn() const {
    std::optional<File> turn = readableCopy(*this);
    if (!turn)
        return std::nullopt;
    const int result =
        interruption::retryUnlessStopped([&] { return ::flock(turn->descriptor(), LOCK_EX); });
    if (result == 0)
        return turn;
    if (errno == EINTR)
        throw IoError(IoError::Operation::Lock, m_path, errno);
    return std::nullopt;
}

Folder::Limits Folder::limits() const {
    Limits limits;
    struct statfs system {};
    if (::fstatfs(m_fd, &system) == 0) {
        limits.fileSystemType = static_cast<long>(system.f_type);
        limits.longestName = static_cast<std::int64_t>(system.f_namelen);
        limits.writable = !holdsNoFiles(limits.fileSystemType) && (system.f_flags & ST_RDONLY) == 0;
    }
    struct stat held {};
    if (limits.fileSystemType == static_cast<long>(fs_entry::kFuseSuperMagic) &&
        ::fstat(m_fd, &held) == 0) {
        // An unreadable table leaves the type unknown, and the limit with it.
        std::ifstream table("/proc/self/mountinfo");
        const std::string text((std::istreambuf_iterator<char>(table)),
                               std::istreambuf_iterator<char>());
        limits.mountType = fs_entry::mountTypeIn(text, major(held.st_dev), minor(held.st_dev));
    }
    return limits;
}

Folder::Whereabouts Folder::whereabouts() const {
    struct stat held {};
    struct stat named {};
    if (::fstat(m_fd, &held) != 0)
        return {};
    if (::stat(m_path.empty() ? "." : m_path.c_str(), &named) == 0 && sameEntry(held, named))
        return {};
    // The kernel's name for the descriptor; after an unmount it is relative to the detached
    // mount, and after a removal it ends in " (deleted)": only a name leading here counts.
    Whereabouts whereabouts{true, ""};
    std::string current(4096, '\0');
    const std::string link = "/proc/self/fd/" + std::to_string(m_fd);
    const ssize_t length = ::readlink(link.c_str(), current.data(), current.size());
    if (length <= 0 || static_cast<std::size_t>(length) == current.size())
        return whereabouts;
    current.resize(static_cast<std::size_t>(length));
    if (::stat(current.c_str(), &named) == 0 && sameEntry(held, named))
        whereabouts.currentPath = current.back() == '/' ? current : current + '/';
    return whereabouts;
}
