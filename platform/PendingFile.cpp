#include "platform/PendingFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Folder.h"
#include "platform/Interruption.h"
#include "platform/IoError.h"

namespace {

constexpr std::size_t kUniqueLength = 6;
constexpr int kMostAttempts = 100;

// The hidden names of this pattern, and with AndShorter those with fewer letters, such as the
// numbered ones that older versions left.
bool isHiddenName(const std::string& name, const std::string& prefix,
                  PendingFile::Leftovers leftovers) {
    const std::size_t length = name.size() - std::min(name.size(), prefix.size());
    const bool lengthFits = leftovers == PendingFile::Leftovers::AndShorter
                                ? length >= 1 && length <= kUniqueLength
                                : length == kUniqueLength;
    return name.compare(0, prefix.size(), prefix) == 0 && lengthFits &&
           std::all_of(name.end() - static_cast<std::ptrdiff_t>(length), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

bool lock(int fd, int how) {
    return interruption::retryUnlessStopped([&] { return ::flock(fd, how); }) == 0;
}

// Only this user's files that no live writer holds locked: another user's, or a live one, stay.
void removeIfStale(const Folder& folder, const std::string& name) {
    const int fd = interruption::retryUnlessStopped([&] {
        return ::openat(folder.descriptor(), name.c_str(),
                        O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    });
    if (fd < 0)
        return;
    const File file = File::adopt(fd, folder.pathOf(name));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() ||
        !lock(fd, LOCK_EX | LOCK_NB))
        return;
    if (::unlinkat(folder.descriptor(), name.c_str(), 0) != 0 && errno != ENOENT)
        throw IoError(IoError::Operation::Remove, file.path(), errno);
}

// A folder that may not be listed shows none to remove.
void removeStaleHiddenFiles(const Folder& folder, const std::string& prefix,
                            PendingFile::Leftovers leftovers) {
    const int fd = ::openat(folder.descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(fd), ::closedir);
    if (!listing) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        if (isHiddenName(entry->d_name, prefix, leftovers))
            removeIfStale(folder, entry->d_name);
    }
}

bool cannotMakeUnnamedFiles(int errorNumber) {
    return errorNumber == EOPNOTSUPP || errorNumber == EISDIR || errorNumber == EINVAL;
}

std::string uniqueLetters() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kUniqueLength];
    if (interruption::retryUnlessStopped([&] { return ::getrandom(bytes, sizeof bytes, 0); }) !=
        static_cast<ssize_t>(sizeof bytes))
        throw IoError(IoError::Operation::Read, "/dev/urandom", errno);
    std::string letters;
    for (const unsigned char byte : bytes)
        letters += kLetters[byte % (sizeof kLetters - 1)];
    return letters;
}

bool isSameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A descriptor that reaches the file without opening it (O_PATH): it has no close of its own
// for a file system to report a failed write at, and keeps a file without a name alive for its
// link. Empty without /proc.
File handleOf(const File& file) {
    const std::string ownName = "/proc/self/fd/" + std::to_string(file.descriptor());
    return File::adopt(::open(ownName.c_str(), O_PATH | O_CLOEXEC), file.path());
}

} // namespace

PendingFile::PendingFile(const Folder& folder, const std::string& hiddenPrefix,
                         const std::string& name, const std::string& shownPath,
                         unsigned permissions, Leftovers leftovers)
    : m_folder(folder), m_hiddenPrefix(hiddenPrefix), m_name(name),
      m_file(File::adopt(-1, shownPath)) {
    if (isHiddenName(name, hiddenPrefix, leftovers))
        throw IoError(IoError::Operation::Create, shownPath, IoError::Fault::ReservedName);
    removeStaleHiddenFiles(folder, hiddenPrefix, leftovers);
    const int fd = interruption::retryUnlessStopped([&] {
        return ::openat(folder.descriptor(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, permissions);
    });
    if (fd < 0 && !cannotMakeUnnamedFiles(errno))
        throw IoError(IoError::Operation::Create, shownPath, errno);
    if (fd < 0)
        createHidden(permissions);
    else
        m_file = File::adopt(fd, shownPath);
    // A linked name of this file stays locked too, so that no other writer takes it for stale.
    if (!lock(m_file.descriptor(), LOCK_EX))
        throw IoError(IoError::Operation::Lock, shownPath, errno);
}

PendingFile::~PendingFile() {
    // Retried after any signal, as a stop's interruptions must not leave the file behind.
    while (!m_hiddenName.empty() &&
           ::unlinkat(m_folder.descriptor(), m_hiddenName.c_str(), 0) != 0 && errno == EINTR) {
    }
}

// The lock is taken only after the file exists: a writer that found it meanwhile may have
// removed it as stale, and then another name is tried.
void PendingFile::createHidden(unsigned permissions) {
    for (int attempt = 0; attempt < kMostAttempts; ++attempt) {
        const std::string name = m_hiddenPrefix + uniqueLetters();
        const int fd = interruption::retryUnlessStopped([&] {
            return ::openat(m_folder.descriptor(), name.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, permissions);
        });
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            throw IoError(IoError::Operation::Create, m_file.path(), errno);
        File file = File::adopt(fd, m_file.path());
        struct stat opened {};
        struct stat named {};
        if (!lock(fd, LOCK_EX) || ::fstat(fd, &opened) != 0)
            throw IoError(IoError::Operation::Lock, m_file.path(), errno);
        if (::fstatat(m_folder.descriptor(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            isSameFile(opened, named)) {
            m_file = std::move(file);
            m_hiddenName = name;
            return;
        }
    }
    throw IoError(IoError::Operation::Create, m_file.path(), EEXIST);
}

bool PendingFile::publish(bool replaceExisting, Sync sync) {
    if (sync == Sync::DataOnly)
        m_file.writeOutData();
    else
        m_file.syncToDevice();
    if (m_hiddenName.empty()) {
        m_handle = handleOf(m_file);
        if (replaceExisting || m_handle.descriptor() < 0)
            m_hiddenName = freeHiddenName();
    }
    // Some file systems report a failed write only at a close (NFS, FUSE's flush): the file is
    // closed before it takes its name, so that such a failure leaves the old file and no new one.
    // From here to its name, its hidden name is unlocked.
    m_file.close();
    if (replaceExisting)
        replaceName();
    else if (!takeFreeName())
        return false;
    return true;
}

// Links the file without a name to name; false when something stands there.
bool PendingFile::linkTo(const std::string& name) {
    const int fd = m_file.descriptor() >= 0 ? m_file.descriptor() : m_handle.descriptor();
    const std::string ownName = "/proc/self/fd/" + std::to_string(fd);
    int result =
        ::linkat(AT_FDCWD, ownName.c_str(), m_folder.descriptor(), name.c_str(), AT_SYMLINK_FOLLOW);
    // Without /proc only a process allowed to read any file may link by descriptor.
    if (result != 0 && errno == ENOENT)
        result = ::linkat(fd, "", m_folder.descriptor(), name.c_str(), AT_EMPTY_PATH);
    if (result != 0 && errno != EEXIST)
        throw IoError(IoError::Operation::Create, m_file.path(), errno);
    return result == 0;
}

// False when something stands at the name.
bool PendingFile::takeFreeName() {
    if (m_hiddenName.empty())
        return linkTo(m_name);
    const char* const name = m_name.c_str();
    const int folder = m_folder.descriptor();
    if (::renameat2(folder, m_hiddenName.c_str(), folder, name, RENAME_NOREPLACE) == 0) {
        m_hiddenName.clear();
        return true;
    }
    // A file system without that flag: a hard link also fails on an existing name, and the
    // destructor removes the hidden one.
    if (errno == EINVAL && ::linkat(folder, m_hiddenName.c_str(), folder, name, 0) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    throw IoError(IoError::Operation::Create, m_file.path(), errno);
}

// Replaces whatever file stands at the name in one step.
void PendingFile::replaceName() {
    if (::renameat(m_folder.descriptor(), m_hiddenName.c_str(), m_folder.descriptor(),
                   m_name.c_str()) != 0)
        throw IoError(IoError::Operation::Create, m_file.path(), errno);
    m_hiddenName.clear();
}

// Gives the file without a name a hidden one, from where it can replace another file.
std::string PendingFile::freeHiddenName() {
    for (int attempt = 0; attempt < kMostAttempts; ++attempt) {
        const std::string name = m_hiddenPrefix + uniqueLetters();
        if (linkTo(name))
            return name;
    }
    throw IoError(IoError::Operation::Create, m_file.path(), EEXIST);
}
