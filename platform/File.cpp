#include "platform/File.h"

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Folder.h"
#include "platform/Interruption.h"

namespace {

int openOrThrow(const std::string& path, int flags, IoError::Operation operation, mode_t mode = 0) {
    const int fd =
        interruption::retryUnlessStopped([&] { return ::open(path.c_str(), flags, mode); });
    if (fd < 0)
        throw IoError(operation, path, errno);
    return fd;
}

struct stat statusOf(const File& file) {
    struct stat info {};
    if (::fstat(file.descriptor(), &info) != 0)
        throw IoError(IoError::Operation::ReadStatus, file.path(), errno);
    return info;
}

void refuseAllButRegular(const struct stat& info, const std::string& path) {
    if (S_ISLNK(info.st_mode))
        throw File::NotPlainFile(IoError::Operation::Open, path, IoError::Fault::SymbolicLink);
    if (!S_ISREG(info.st_mode))
        throw File::NotPlainFile(IoError::Operation::Open, path, IoError::Fault::NotPlainFile);
}

// A FIFO opened without O_NONBLOCK waits for a writer, and every later read for data.
void clearNonBlocking(const File& file) {
    const int flags = ::fcntl(file.descriptor(), F_GETFL);
    if (flags < 0 || ::fcntl(file.descriptor(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw IoError(IoError::Operation::Open, file.path(), errno);
}

File openRegularAt(int folder, const std::string& name, const std::string& path,
                   File::Links links) {
    const bool refuseLinks = links == File::Links::Refuse;
    struct stat entry {};
    if (::fstatat(folder, name.c_str(), &entry, refuseLinks ? AT_SYMLINK_NOFOLLOW : 0) != 0)
        throw IoError(IoError::Operation::Open, path, errno);
    refuseAllButRegular(entry, path);
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (refuseLinks ? O_NOFOLLOW : 0);
    const int fd =
        interruption::retryUnlessStopped([&] { return ::openat(folder, name.c_str(), flags); });
    if (fd < 0 && errno == ELOOP && refuseLinks)
        throw File::NotPlainFile(IoError::Operation::Open, path, IoError::Fault::SymbolicLink);
    if (fd < 0)
        throw IoError(IoError::Operation::Open, path, errno);
    File file = File::adopt(fd, path);
    refuseAllButRegular(statusOf(file), path);
    clearNonBlocking(file);
    return file;
}

} // namespace

File::File(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

File File::openRegular(const std::string& path, Links links) {
    return openRegularAt(AT_FDCWD, path, path, links);
}

File File::openRegular(const Folder& folder, const std::string& name, Links links) {
    return openRegularAt(folder.descriptor(), name, folder.pathOf(name), links);
}

// O_NOFOLLOW with O_EXCL: the call fails on any existing entry, a link included, so it never
// writes through a link.
File File::createNew(const std::string& path, unsigned permissions) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    return File(openOrThrow(path, flags, IoError::Operation::Create, permissions), path);
}

File File::createNew(const Folder& folder, const std::string& name, unsigned permissions) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    const int fd = interruption::retryUnlessStopped(
        [&] { return ::openat(folder.descriptor(), name.c_str(), flags, permissions); });
    if (fd < 0)
        throw IoError(IoError::Operation::Create, folder.pathOf(name), errno);
    return File(fd, folder.pathOf(name));
}

File File::openForReadingWithoutBlocking(const std::string& path) {
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    return File(openOrThrow(path, flags, IoError::Operation::Open), path);
}

File File::openForReadingWithoutBlocking(const Folder& folder, const std::string& name) {
    const int fd = interruption::retryUnlessStopped([&] {
        return ::openat(folder.descriptor(), name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    });
    if (fd < 0)
        throw IoError(IoError::Operation::Open, folder.pathOf(name), errno);
    return File(fd, folder.pathOf(name));
}

File File::openOrCreate(const std::string& path) {
    const int flags = O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    return File(openOrThrow(path, flags, IoError::Operation::Create, kAllReadWrite), path);
}

File File::adopt(int fd, std::string path) {
    return File(fd, std::move(path));
}

File File::duplicate() const {
    const int fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        throw IoError(IoError::Operation::Open, m_path, errno);
    return File(fd, m_path);
}

File::File(File&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

File::~File() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::size_t File::read(void* buffer, std::size_t size) {
    const ssize_t count =
        interruption::retryUnlessStopped([&] { return ::read(m_fd, buffer, size); });
    if (count < 0)
        throw IoError(IoError::Operation::Read, m_path, errno);
    return static_cast<std::size_t>(count);
}

std::size_t File::readFully(void* buffer, std::size_t size) {
    auto* next = static_cast<char*>(buffer);
    std::size_t got = 0;
    while (got < size) {
        const std::size_t step = read(next + got, size - got);
        if (step == 0)
            break;
        got += step;
    }
    return got;
}

// A FAT file ends 1 byte short of 4 GiB; FAT through FUSE, or a phone, does not say it is one and
// fails the write that would cross that size, with EFBIG or EINVAL.
IoError File::writeFailure(int errorNumber, std::size_t count) const {
    constexpr off_t kFatLargestFile = (off_t{1} << 32) - 1;
    if (errorNumber == EFBIG || errorNumber == EINVAL) {
        const off_t at = ::lseek(m_fd, 0, SEEK_CUR);
        if (at >= 0 && at <= kFatLargestFile && at + static_cast<off_t>(count) > kFatLargestFile)
            return IoError::atFileSizeLimit(m_path, errorNumber);
    }
    return IoError(IoError::Operation::Write, m_path, errorNumber);
}

void File::write(const void* data, std::size_t size) {
    const char* next = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const ssize_t count =
            interruption::retryUnlessStopped([&] { return ::write(m_fd, next, left); });
        if (count < 0)
            throw writeFailure(errno, left);
        // A write that stores nothing without an error means the device is full.
        if (count == 0)
            throw IoError(IoError::Operation::Write, m_path, ENOSPC);
        next += count;
        left -= static_cast<std::size_t>(count);
    }
}

void File::rewind() {
    if (::lseek(m_fd, 0, SEEK_SET) != 0)
        throw IoError(IoError::Operation::Read, m_path, errno);
}

void File::writeOutData() {
    constexpr unsigned int kWriteAndWait =
        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    if (::sync_file_range(m_fd, 0, 0, kWriteAndWait) != 0)
        throw IoError(IoError::Operation::Write, m_path, errno);
}

void File::syncToDevice() {
    if (::fsync(m_fd) != 0)
        throw IoError(IoError::Operation::Write, m_path, errno);
}

std::int64_t File::size() const {
    return static_cast<std::int64_t>(statusOf(*this).st_size);
}

unsigned File::permissions() const {
    return statusOf(*this).st_mode & 07777;
}

void File::close() {
    if (m_fd < 0)
        return;
    // The descriptor is gone after close() whatever it returns, so it is never closed twice.
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        throw IoError(IoError::Operation::Close, m_path, errno);
}
