#include "support/ChildProcess.h"

#include <cstdio>
#include <filesystem>

#include <grp.h>
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

void handToOrdinaryUser(const std::string& path) {
    if (::getuid() != 0)
        return;
    [[maybe_unused]] const int rootFolder =
        ::lchown(path.c_str(), kOrdinaryUserId, kOrdinaryUserId);
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        [[maybe_unused]] const int entry =
            ::lchown(it->path().c_str(), kOrdinaryUserId, kOrdinaryUserId);
    }
}

bool becomeOrdinaryUser() {
    return ::getuid() != 0 || (::setgroups(0, nullptr) == 0 && ::setgid(kOrdinaryUserId) == 0 &&
                               ::setuid(kOrdinaryUserId) == 0);
}
