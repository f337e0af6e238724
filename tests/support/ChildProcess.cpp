#include "support/ChildProcess.h"

#include <cstdio>

#include <sys/wait.h>
#include <unistd.h>

int runInChild(const std::function<int()>& work) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        int status = 1;
        try {
            status = work();
        } catch (...) {
        }
        ::_exit(status);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
