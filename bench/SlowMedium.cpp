// bench_slow_medium: a FUSE folder that stores into a backing folder at a set rate, with the
// kernel's write-back cache on, so that a writer is held back the way a USB stick holds it back.
//
//   bench_slow_medium BACKING MOUNTPOINT [BYTES_PER_SECOND]   (default 10000000)
//
// It stays in the foreground until the folder is unmounted (fusermount3 -u MOUNTPOINT). What the
// backing folder holds is what the medium has taken.
#define FUSE_USE_VERSION 31

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <fuse3/fuse.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

std::string g_backing;
double g_rate = 10e6;
std::mutex g_rateMutex;
// When the medium will have stored everything handed to it so far.
std::chrono::steady_clock::time_point g_idleSince;

std::string backed(const char* path) {
    return g_backing + path;
}

int result(int value) {
    return value < 0 ? -errno : value;
}

// Holds each write for as long as the medium would take to store it.
void waitForMedium(std::size_t bytes) {
    std::chrono::steady_clock::time_point until;
    {
        const std::lock_guard<std::mutex> lock(g_rateMutex);
        const auto now = std::chrono::steady_clock::now();
        if (now > g_idleSince)
            g_idleSince = now;
        g_idleSince += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(static_cast<double>(bytes) / g_rate));
        until = g_idleSince;
    }
    std::this_thread::sleep_until(until);
}

void* onInit(fuse_conn_info* connection, fuse_config* config) {
    if (connection->capable & FUSE_CAP_WRITEBACK_CACHE)
        connection->want |= FUSE_CAP_WRITEBACK_CACHE;
    else
        std::fputs("bench_slow_medium: the kernel offers no write-back cache\n", stderr);
    config->use_ino = 1;
    return nullptr;
}

int onGetattr(const char* path, struct stat* status, fuse_file_info*) {
    return result(::lstat(backed(path).c_str(), status));
}

int onAccess(const char* path, int mode) {
    return result(::access(backed(path).c_str(), mode));
}

int onReaddir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
              fuse_readdir_flags) {
    DIR* folder = ::opendir(backed(path).c_str());
    if (!folder)
        return -errno;
    while (const dirent* entry = ::readdir(folder))
        fill(buffer, entry->d_name, nullptr, 0, fuse_fill_dir_flags{});
    ::closedir(folder);
    return 0;
}

int opened(int fd, fuse_file_info* file) {
    if (fd < 0)
        return -errno;
    file->fh = static_cast<std::uint64_t>(fd);
    return 0;
}

int onCreate(const char* path, mode_t mode, fuse_file_info* file) {
    return opened(::open(backed(path).c_str(), file->flags, mode), file);
}

int onOpen(const char* path, fuse_file_info* file) {
    // The write-back cache reads back what it merges, so a file open for writing is read too.
    int flags = file->flags;
    if ((flags & O_ACCMODE) == O_WRONLY)
        flags = (flags & ~O_ACCMODE) | O_RDWR;
    return opened(::open(backed(path).c_str(), flags & ~O_APPEND), file);
}

int onRead(const char*, char* buffer, std::size_t size, off_t offset, fuse_file_info* file) {
    return result(static_cast<int>(::pread(static_cast<int>(file->fh), buffer, size, offset)));
}

int onWrite(const char*, const char* data, std::size_t size, off_t offset, fuse_file_info* file) {
    waitForMedium(size);
    return result(static_cast<int>(::pwrite(static_cast<int>(file->fh), data, size, offset)));
}

int onRelease(const char*, fuse_file_info* file) {
    ::close(static_cast<int>(file->fh));
    return 0;
}

// What reached this program is on the medium: the backing folder is not what is measured.
int onFsync(const char*, int, fuse_file_info*) {
    return 0;
}

int onUnlink(const char* path) {
    return result(::unlink(backed(path).c_str()));
}

int onRename(const char* from, const char* to, unsigned int flags) {
    return result(::renameat2(AT_FDCWD, backed(from).c_str(), AT_FDCWD, backed(to).c_str(), flags));
}

int onTruncate(const char* path, off_t size, fuse_file_info* file) {
    if (file)
        return result(::ftruncate(static_cast<int>(file->fh), size));
    return result(::truncate(backed(path).c_str(), size));
}

int onChmod(const char* path, mode_t mode, fuse_file_info*) {
    return result(::chmod(backed(path).c_str(), mode));
}

int onUtimens(const char* path, const timespec times[2], fuse_file_info*) {
    return result(::utimensat(AT_FDCWD, backed(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int onMkdir(const char* path, mode_t mode) {
    return result(::mkdir(backed(path).c_str(), mode));
}

int onRmdir(const char* path) {
    return result(::rmdir(backed(path).c_str()));
}

int onStatfs(const char* path, struct statvfs* status) {
    return result(::statvfs(backed(path).c_str(), status));
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3 || argc > 4) {
        std::fputs("usage: bench_slow_medium BACKING MOUNTPOINT [BYTES_PER_SECOND]\n", stderr);
        return 2;
    }
    g_backing = argv[1];
    if (argc == 4)
        g_rate = std::atof(argv[3]);
    fuse_operations operations{};
    operations.init = onInit;
    operations.getattr = onGetattr;
    operations.access = onAccess;
    operations.readdir = onReaddir;
    operations.create = onCreate;
    operations.open = onOpen;
    operations.read = onRead;
    operations.write = onWrite;
    operations.release = onRelease;
    operations.fsync = onFsync;
    operations.unlink = onUnlink;
    operations.rename = onRename;
    operations.truncate = onTruncate;
    operations.chmod = onChmod;
    operations.utimens = onUtimens;
    operations.mkdir = onMkdir;
    operations.rmdir = onRmdir;
    operations.statfs = onStatfs;
    char* fuseArguments[] = {argv[0], argv[2], const_cast<char*>("-f"), nullptr};
    return fuse_main(3, fuseArguments, &operations, nullptr);
}
