// powercut_forward_syncs: preloaded into a program that writes to powercut_medium, it tells the
// medium of the two calls the kernel does not pass on to a FUSE file system, syncfs and a
// sync_file_range that waits, once they returned successfully. The calls themselves are made as
// the program made them.
#include <cerrno>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr long kFuseMagic = 0x65735546;

void tellMedium(int fd, const std::string& call) {
    const int savedErrno = errno;
    struct statfs status {};
    if (::fstatfs(fd, &status) == 0 && status.f_type == kFuseMagic)
        ::fsetxattr(fd, "user.powercut", call.data(), call.size(), 0);
    errno = savedErrno;
}

template <typename Function> Function* next(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int syncfs(int fd) {
    static auto* const real = next<int(int)>("syncfs");
    const int result = real(fd);
    if (result == 0)
        tellMedium(fd, "syncfs");
    return result;
}

extern "C" int sync_file_range(int fd, off64_t from, off64_t count, unsigned int flags) {
    static auto* const real = next<int(int, off64_t, off64_t, unsigned int)>("sync_file_range");
    const int result = real(fd, from, count, flags);
    if (result == 0 && (flags & SYNC_FILE_RANGE_WAIT_AFTER) != 0)
        tellMedium(fd, "written-back " + std::to_string(from) + " " + std::to_string(count));
    return result;
}
