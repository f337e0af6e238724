#include "platform/WriteBack.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/IoError.h"

namespace {

void syncRange(const File& file, std::int64_t from, std::int64_t to, unsigned int flags) {
    if (::sync_file_range(file.descriptor(), from, to - from, flags) != 0)
        throw IoError(IoError::Operation::Write, file.path(), errno);
}

// A relative path's folder is the current one.
File openFolder(const std::string& folder) {
    const std::string opened = folder.empty() ? "." : folder;
    const int fd = ::open(opened.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw IoError(IoError::Operation::Open, opened, errno);
    return File::adopt(fd, opened);
}

} // namespace

std::int64_t WriteBack::written(std::int64_t count) {
    m_written += count;
    if (m_written - m_started < kWriteBackStep)
        return 0;
    syncRange(m_file, m_started, m_written, SYNC_FILE_RANGE_WRITE);
    m_started = m_written;
    const std::int64_t waitTo = m_started - kStepsInFlight * kWriteBackStep;
    if (waitTo <= m_onDevice)
        return 0;
    syncRange(m_file, m_onDevice, waitTo,
              SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    const std::int64_t reached = waitTo - m_onDevice;
    m_onDevice = waitTo;
    return reached;
}

void WriteBack::startRest() {
    if (m_written > m_started)
        syncRange(m_file, m_started, m_written, SYNC_FILE_RANGE_WRITE);
    m_started = m_written;
}

std::int64_t WriteBack::finish() {
    m_file.writeOutData();
    const std::int64_t reached = m_written - m_onDevice;
    m_onDevice = m_written;
    m_started = m_written;
    return reached;
}

void syncFileSystemOf(const File& file) {
    if (::syncfs(file.descriptor()) != 0)
        throw IoError(IoError::Operation::Write, file.path(), errno);
}

void syncFolder(const std::string& folder) {
    const File opened = openFolder(folder);
    // Some file systems cannot sync a folder at all; their entries are as safe as they get.
    if (::fsync(opened.descriptor()) != 0 && errno != EINVAL)
        throw IoError(IoError::Operation::Write, folder, errno);
}
