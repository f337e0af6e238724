#include "platform/WriteBack.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/IoError.h"

namespace {

void syncRange(const File& file, std::int64_t from, std::int64_t to, unsigned int flags) {
    if (::sync_file_range(file.descriptor(), from, to - from, flags) != 0)
        throw IoError(IoError::Operation::Write, file.path(), errno);
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

void syncFolder(const Folder& folder) {
    // The folder's own descriptor only looks names up; a sync needs one opened for reading.
    const int fd = ::openat(folder.descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw IoError(IoError::Operation::Open, folder.pathOf(""), errno);
    const File opened = File::adopt(fd, folder.pathOf(""));
    // Some file systems cannot sync a folder at all; their entries are as safe as they get.
    if (::fsync(opened.descriptor()) != 0 && errno != EINVAL)
        throw IoError(IoError::Operation::Write, opened.path(), errno);
}
