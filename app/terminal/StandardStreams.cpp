#include "app/terminal/StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include <fcntl.h>
#include <unistd.h>

#include "app/terminal/ExitStatus.h"
#include "platform/Interruption.h"
#include "platform/IoError.h"
#include "wording/FailureMessages.h"
#include "wording/Translation.h"

namespace standard_streams {

namespace {

const char* g_prefix = "";

bool isClosed(int descriptor) {
    return ::fcntl(descriptor, F_GETFD) == -1 && errno == EBADF;
}

IoError reportFailure(int errorNumber) {
    return IoError(IoError::Operation::WriteReport, translate("standard output"), errorNumber);
}

void sayFailure(const IoError& failure) {
    std::fprintf(stderr, "%s%s\n", g_prefix, failureText(failure).c_str());
}

void flushOutputOrFail() {
    // A write that failed before leaves the stream's error set but no reason in errno.
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return;
    sayFailure(reportFailure(errno != 0 ? errno : EIO));
    std::_Exit(exit_status::kError);
}

} // namespace

bool guardStandardStreams(const char* prefix) {
    g_prefix = prefix;
    std::atexit(flushOutputOrFail);
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (!isClosed(descriptor))
            continue;
        // The lowest free number is the closed one, as the streams below it are open.
        if (::open("/dev/null", descriptor == STDERR_FILENO ? O_WRONLY : O_RDONLY) != descriptor) {
            sayFailure(IoError(IoError::Operation::Open, "/dev/null", errno));
            return false;
        }
    }
    return true;
}

void writeReport(const std::string& report) {
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
