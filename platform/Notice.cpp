#include "platform/Notice.h"

#include <cerrno>
#include <cstdint>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "platform/IoError.h"

Notice::Notice() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (m_fd < 0)
        throw IoError(IoError::Operation::Start, "a job's notice", errno);
}

Notice::~Notice() {
    ::close(m_fd);
}

void Notice::give() noexcept {
    // Never read, so the counter stays above zero and the descriptor readable.
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_fd, &one, sizeof one);
}

bool Notice::waitFor(std::chrono::milliseconds timeout) const {
    pollfd given{m_fd, POLLIN, 0};
    const int ready = ::poll(&given, 1, static_cast<int>(timeout.count()));
    return ready > 0;
}
