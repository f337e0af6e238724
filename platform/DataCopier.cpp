#include "platform/DataCopier.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

#include "platform/File.h"
#include "platform/Interruption.h"
#include "platform/IoError.h"

namespace {

// Larger buffers measured slower: 1 MiB no longer fits the processor's cache beside the page
// being copied.
constexpr std::size_t kBufferSize = 128 << 10;

// The errors by which copy_file_range says it cannot copy between these files at all.
bool isUnsupported(int errorNumber) {
    return errorNumber == ENOSYS || errorNumber == EXDEV || errorNumber == EINVAL ||
           errorNumber == EOPNOTSUPP || errorNumber == EBADF || errorNumber == EPERM;
}

} // namespace

std::int64_t DataCopier::copy(File& source, File& destination, std::int64_t count) {
    const std::int64_t copied = m_kernelCopies ? copyInKernel(source, destination, count) : 0;
    if (m_kernelCopies)
        return copied;
    return copied + copyThroughBuffer(source, destination, count - copied);
}

std::int64_t DataCopier::copyInKernel(File& source, File& destination, std::int64_t count) {
    std::int64_t copied = 0;
    while (copied < count) {
        const ssize_t step = interruption::retryUnlessStopped([&] {
            return ::copy_file_range(source.descriptor(), nullptr, destination.descriptor(),
                                     nullptr, static_cast<std::size_t>(count - copied), 0);
        });
        if (step == 0)
            break;
        if (step > 0) {
            copied += step;
            continue;
        }
        if (!isUnsupported(errno))
            throw IoError(IoError::Operation::Copy, source.path(), destination.path(), errno);
        m_kernelCopies = false;
        break;
    }
    return copied;
}

std::int64_t DataCopier::copyThroughBuffer(File& source, File& destination, std::int64_t count) {
    if (!m_buffer)
        m_buffer.emplace(kBufferSize);
    std::int64_t copied = 0;
    while (copied < count) {
        const auto wanted = static_cast<std::size_t>(
            std::min<std::int64_t>(count - copied, static_cast<std::int64_t>(m_buffer->size())));
        const std::size_t got = source.read(m_buffer->data(), wanted);
        if (got == 0)
            break;
        destination.write(m_buffer->data(), got);
        copied += static_cast<std::int64_t>(got);
    }
    return copied;
}
