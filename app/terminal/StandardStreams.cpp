#include "app/terminal/StandardStreams.h"

#include <cerrno>
#include <initializer_list>

#include <fcntl.h>
#include <unistd.h>

#include "platform/Interruption.h"
#include "platform/IoError.h"

namespace standard_streams {

namespace {

bool g_outputWasClosed = false;

bool isClosed(int descriptor) {
    return ::fcntl(descriptor, F_GETFD) == -1 && errno == EBADF;
}

IoError reportFailure(int errorNumber) {
    return IoError(IoError::Operation::WriteReport, "standard output", errorNumber);
}

} // namespace

void fillClosedStreams() {
    g_outputWasClosed = isClosed(STDOUT_FILENO);
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (!isClosed(descriptor))
            continue;
        // The lowest free number is the closed one, as the streams below it are open.
        if (::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY) != descriptor)
            throw IoError(IoError::Operation::Open, "/dev/null", errno);
    }
}

void writeReport(const std::string& report) {
    if (g_outputWasClosed)
        throw reportFailure(EBADF);
    const std::string text = report + "\n";
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = interruption::retryUnlessStopped(
            [&] { return ::write(STDOUT_FILENO, text.data() + written, text.size() - written); });
        if (count < 0)
            throw reportFailure(errno);
        written += static_cast<std::size_t>(count);
    }
}

} // namespace standard_streams
