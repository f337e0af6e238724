#include "platform/File.h"

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IoError.h"

namespace {

int openRetrying(const std::string& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// O_NOFOLLOW with O_EXCL: the call fails on any existing entry, a link included, so it never
// writes through a link.
int createExclusive(const std::string& path) {
    return openRetrying(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

} // namespace

File::File(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

File File::openForReading(const std::string& path) {
    const int fd = openRetrying(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw IoError("open", path, errno);
    return File(fd, path);
}

File File::createNew(const std::string& path) {
    const int fd = createExclusive(path);
    if (fd < 0)
        throw IoError("create", path, errno);
    return File(fd, path);
}

File File::openForReadingWithoutBlocking(const std::string& path) {
    const int fd = openRetrying(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw IoError("open", path, errno);
    return File(fd, path);
}

File File::openOrCreate(const std::string& path) {
    const int fd =
        openRetrying(path, O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        throw IoError("create", path, errno);
    return File(fd, path);
}

File File::createUnique(const std::string& pathPrefix) {
    const std::string pattern = pathPrefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        throw IoError("create", pattern, errno);
    return File(fd, name.data());
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
    ssize_t count;
    do {
        count = ::read(m_fd, buffer, size);
    } while (count < 0 && errno == EINTR);
    if (count < 0)
        throw IoError("read", m_path, errno);
    return static_cast<std::size_t>(count);
}

void File::write(const void* data, std::size_t size) {
    const char* next = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const ssize_t count = ::write(m_fd, next, left);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw IoError("write", m_path, errno);
        // A write that stores nothing without an error means the device is full.
        if (count == 0)
            throw IoError("write", m_path, ENOSPC);
        next += count;
        left -= static_cast<std::size_t>(count);
    }
}

void File::writeOutData() {
    constexpr unsigned int kWriteAndWait =
        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    if (::sync_file_range(m_fd, 0, 0, kWriteAndWait) != 0)
        throw IoError("write", m_path, errno);
}

void File::syncToDevice() {
    if (::fsync(m_fd) != 0)
        throw IoError("write", m_path, errno);
}

void File::close() {
    if (m_fd < 0)
        return;
    // The descriptor is gone after close() whatever it returns, so it is never closed twice.
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        throw IoError("close", m_path, errno);
}
