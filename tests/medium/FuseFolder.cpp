#include "medium/FuseFolder.h"

#include <cerrno>
#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fuse_folder {

namespace {

std::string backed(const char* path) {
    return settings().backing + path;
}

int result(long value) {
    return value < 0 ? -errno : static_cast<int>(value);
}

bool vanished() {
    return settings().vanished && settings().vanished();
}

int opened(int fd, fuse_file_info* file) {
    if (fd < 0)
        return -errno;
    file->fh = static_cast<std::uint64_t>(fd);
    return 0;
}

// The write-back cache reads back what it merges, so a file open for writing is read too.
int backingFlags(int flags) {
    if (settings().writeBack && (flags & O_ACCMODE) == O_WRONLY)
        flags = (flags & ~O_ACCMODE) | O_RDWR;
    return flags & ~O_APPEND;
}

void* onInit(fuse_conn_info* connection, fuse_config* config) {
    if (settings().writeBack && (connection->capable & FUSE_CAP_WRITEBACK_CACHE))
        connection->want |= FUSE_CAP_WRITEBACK_CACHE;
    else if (settings().writeBack)
        std::fprintf(stderr, "%s: the kernel offers no write-back cache\n",
                     program_invocation_short_name);
    config->use_ino = 1;
    if (settings().cacheNothing)
        config->entry_timeout = config->attr_timeout = config->negative_timeout = 0;
    return nullptr;
}

int onGetattr(const char* path, struct stat* status, fuse_file_info*) {
    if (vanished())
        return -ENOENT;
    return result(::lstat(backed(path).c_str(), status));
}

int onAccess(const char* path, int mode) {
    if (vanished())
        return -ENOENT;
    return result(::access(backed(path).c_str(), mode));
}

int onReaddir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
              fuse_readdir_flags) {
    if (vanished())
        return -ENOENT;
    DIR* folder = ::opendir(backed(path).c_str());
    if (!folder)
        return -errno;
    while (const dirent* entry = ::readdir(folder))
        fill(buffer, entry->d_name, nullptr, 0, fuse_fill_dir_flags{});
    ::closedir(folder);
    return 0;
}

int onUnlink(const char* path) {
    if (vanished())
        return -ENOENT;
    return result(::unlink(backed(path).c_str()));
}

int onRename(const char* from, const char* to, unsigned int flags) {
    if (vanished())
        return -ENOENT;
    return result(::renameat2(AT_FDCWD, backed(from).c_str(), AT_FDCWD, backed(to).c_str(), flags));
}

int onLink(const char* from, const char* to) {
    if (vanished())
        return -ENOENT;
    return result(::link(backed(from).c_str(), backed(to).c_str()));
}

int onTruncate(const char* path, off_t size, fuse_file_info* file) {
    if (vanished())
        return -EIO;
    if (file)
        return result(::ftruncate(static_cast<int>(file->fh), size));
    return result(::truncate(backed(path).c_str(), size));
}

int onChmod(const char* path, mode_t mode, fuse_file_info*) {
    if (vanished())
        return -ENOENT;
    return result(::chmod(backed(path).c_str(), mode));
}

int onChown(const char* path, uid_t owner, gid_t group, fuse_file_info*) {
    if (vanished())
        return -ENOENT;
    return result(::lchown(backed(path).c_str(), owner, group));
}

int onUtimens(const char* path, const timespec times[2], fuse_file_info*) {
    if (vanished())
        return -ENOENT;
    return result(::utimensat(AT_FDCWD, backed(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int onMkdir(const char* path, mode_t mode) {
    if (vanished())
        return -ENOENT;
    return result(::mkdir(backed(path).c_str(), mode));
}

int onRmdir(const char* path) {
    if (vanished())
        return -ENOENT;
    return result(::rmdir(backed(path).c_str()));
}

int onStatfs(const char* path, struct statvfs* status) {
    if (vanished())
        return -EIO;
    return result(::statvfs(backed(path).c_str(), status));
}

} // namespace

Settings& settings() {
    static Settings current;
    return current;
}

int create(const char* path, mode_t mode, fuse_file_info* file) {
    return opened(::open(backed(path).c_str(), backingFlags(file->flags), mode), file);
}

int open(const char* path, fuse_file_info* file) {
    return opened(::open(backed(path).c_str(), backingFlags(file->flags)), file);
}

int read(const char*, char* buffer, std::size_t size, off_t offset, fuse_file_info* file) {
    return result(::pread(static_cast<int>(file->fh), buffer, size, offset));
}

int write(const char*, const char* data, std::size_t size, off_t offset, fuse_file_info* file) {
    return result(::pwrite(static_cast<int>(file->fh), data, size, offset));
}

int fsync(const char*, int, fuse_file_info* file) {
    return result(::fsync(static_cast<int>(file->fh)));
}

int release(const char*, fuse_file_info* file) {
    ::close(static_cast<int>(file->fh));
    return 0;
}

fuse_operations passThrough() {
    fuse_operations operations{};
    operations.init = onInit;
    operations.getattr = onGetattr;
    operations.access = onAccess;
    operations.readdir = onReaddir;
    operations.create = create;
    operations.open = open;
    operations.read = read;
    operations.write = write;
    operations.fsync = fsync;
    operations.release = release;
    operations.unlink = onUnlink;
    operations.rename = onRename;
    operations.link = onLink;
    operations.truncate = onTruncate;
    operations.chmod = onChmod;
    operations.chown = onChown;
    operations.utimens = onUtimens;
    operations.mkdir = onMkdir;
    operations.rmdir = onRmdir;
    operations.statfs = onStatfs;
    return operations;
}

int serve(const char* program, const fuse_operations& operations, const char* mountPoint,
          bool singleThreaded) {
    fuse_args arguments = FUSE_ARGS_INIT(0, nullptr);
    fuse_opt_add_arg(&arguments, program);
    fuse* system = fuse_new(&arguments, &operations, sizeof(operations), nullptr);
    if (!system || fuse_mount(system, mountPoint) != 0) {
        if (system)
            fuse_destroy(system);
        fuse_opt_free_args(&arguments);
        std::fprintf(stderr, "%s: could not mount %s\n", program, mountPoint);
        return 1;
    }
    fuse_set_signal_handlers(fuse_get_session(system));
    std::puts("ready");
    std::fflush(stdout);
    int status = 0;
    if (singleThreaded) {
        status = fuse_loop(system);
    } else {
        fuse_loop_config* loop = fuse_loop_cfg_create();
        status = fuse_loop_mt(system, loop);
        fuse_loop_cfg_destroy(loop);
    }
    fuse_remove_signal_handlers(fuse_get_session(system));
    fuse_unmount(system);
    fuse_destroy(system);
    fuse_opt_free_args(&arguments);
    return status == 0 ? 0 : 1;
}

} // namespace fuse_folder
