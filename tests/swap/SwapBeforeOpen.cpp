// swap_before_open: preloaded into a program, it plays the sender who swaps a file between the
// program's check of a name and its open: the first openat of the name in $SWAP_NAME renames the
// entry $SWAP_WITH over it just before the open is made.
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>

// The mode argument is there only with O_CREAT or O_TMPFILE.
#define READ_MODE(flags, mode)                                                                     \
    mode_t mode = 0;                                                                               \
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {                              \
        va_list arguments;                                                                         \
        va_start(arguments, flags);                                                                \
        mode = static_cast<mode_t>(va_arg(arguments, unsigned));                                   \
        va_end(arguments);                                                                         \
    }

extern "C" int openat(int folder, const char* name, int flags, ...) {
    static auto* const real =
        reinterpret_cast<int (*)(int, const char*, int, ...)>(::dlsym(RTLD_NEXT, "openat"));
    static bool swapped = false;
    const char* const swapName = std::getenv("SWAP_NAME");
    const char* const swapWith = std::getenv("SWAP_WITH");
    if (!swapped && swapName && swapWith && std::strcmp(name, swapName) == 0) {
        swapped = true;
        ::renameat(folder, swapWith, folder, name);
    }
    READ_MODE(flags, mode)
    return real(folder, name, flags, mode);
}

extern "C" int openat64(int folder, const char* name, int flags, ...) {
    READ_MODE(flags, mode)
    return openat(folder, name, flags, mode);
}
