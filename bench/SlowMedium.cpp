// bench_slow_medium: a FUSE folder that stores into a backing folder at a set rate, with the
// kernel's write-back cache on, so that a writer is held back the way a USB stick holds it back.
//
//   bench_slow_medium BACKING MOUNTPOINT [BYTES_PER_SECOND]   (default 10000000)
//
// It stays in the foreground until the folder is unmounted (fusermount3 -u MOUNTPOINT), and
// prints "ready" once the folder is mounted. What the backing folder holds is what the medium
// has taken.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "medium/FuseFolder.h"

namespace {

double g_rate = 10e6;
std::mutex g_rateMutex;
// When the medium will have stored everything handed to it so far.
std::chrono::steady_clock::time_point g_idleSince;

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

int onWrite(const char* path, const char* data, std::size_t size, off_t offset,
            fuse_file_info* file) {
    waitForMedium(size);
    return fuse_folder::write(path, data, size, offset, file);
}

// What reached this program is on the medium: the backing folder is not what is measured.
int onFsync(const char*, int, fuse_file_info*) {
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3 || argc > 4) {
        std::fputs("usage: bench_slow_medium BACKING MOUNTPOINT [BYTES_PER_SECOND]\n", stderr);
        return 2;
    }
    fuse_folder::settings().backing = argv[1];
    fuse_folder::settings().writeBack = true;
    if (argc == 4)
        g_rate = std::atof(argv[3]);
    fuse_operations operations = fuse_folder::passThrough();
    operations.write = onWrite;
    operations.fsync = onFsync;
    return fuse_folder::serve(argv[0], operations, argv[2], false);
}
