#pragma once

// What the test media and the bench's slow medium share: a FUSE folder that passes every call on
// to a backing folder, and the loop that serves a folder until it is unmounted. A medium takes
// the pass-through's handlers and replaces those it does otherwise, calling on these where it
// passes the call on after all.
#define FUSE_USE_VERSION 312

#include <string>

#include <fuse3/fuse.h>

namespace fuse_folder {

struct Settings {
    // The folder that holds what the medium stores; a path on the medium is appended to it.
    std::string backing;
    // The kernel's write-back cache, which holds written pages in the kernel and hands them
    // over at flush, fsync or later.
    bool writeBack = false;
    // Every lookup reaches the program: nothing is answered from the kernel's caches.
    bool cacheNothing = false;
    // True once the folder has vanished: names are no longer found, and the file system's
    // calls fail with EIO. Calls on open files are the medium's to refuse.
    bool (*vanished)() = nullptr;
};

Settings& settings();

int create(const char* path, mode_t mode, fuse_file_info* file);
int open(const char* path, fuse_file_info* file);
int read(const char* path, char* buffer, std::size_t size, off_t offset, fuse_file_info* file);
int write(const char* path, const char* data, std::size_t size, off_t offset, fuse_file_info* file);
int fsync(const char* path, int dataOnly, fuse_file_info* file);
int release(const char* path, fuse_file_info* file);

// Handlers that pass every call on to the backing folder of settings().
fuse_operations passThrough();

// Mounts operations at mountPoint, prints "ready" on standard output once mounted, and serves
// calls in the foreground, one at a time when singleThreaded, until the folder is unmounted
// (fusermount3 -u MOUNTPOINT) or SIGTERM, SIGINT or SIGHUP arrives; returns the exit status.
int serve(const char* program, const fuse_operations& operations, const char* mountPoint,
          bool singleThreaded);

} // namespace fuse_folder
