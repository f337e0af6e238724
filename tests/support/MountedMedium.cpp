#include "support/MountedMedium.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kPatientTenths = 300;

} // namespace

// Mounted once the folder is another file system than the one it sits in.
bool waitUntilMounted(const std::string& folder, pid_t pid) {
    struct stat parent {};
    ::stat((folder + "..").c_str(), &parent);
    for (int hundredth = 0; hundredth < 10 * kPatientTenths; ++hundredth) {
        struct stat mounted {};
        if (::stat(folder.c_str(), &mounted) == 0 && mounted.st_dev != parent.st_dev)
            return true;
        // A child of this process is reaped once it ended; another process is asked if it lives.
        if (pid <= 0 || ::waitpid(pid, nullptr, WNOHANG) == pid || ::kill(pid, 0) != 0)
            return false;
        ::usleep(10'000);
    }
    return false;
}

MountedMedium::MountedMedium(const std::string& program, const std::string& options) {
    std::filesystem::create_directory(backing());
    std::filesystem::create_directory(folder());
    setRules("");
    const std::string command = "'" + program + "' " + options + " --control '" +
                                m_files.file("rules") + "' '" + backing() + "' '" + folder() +
                                "' >'" + m_files.file("medium.out") + "' 2>&1 & echo $!";
    FILE* started = ::popen(command.c_str(), "r");
    if (!started || std::fscanf(started, "%d", &m_pid) != 1)
        m_pid = -1;
    if (started)
        ::pclose(started);
    if (!waitUntilMounted(folder(), m_pid))
        m_whyNot = "FUSE cannot mount here (no /dev/fuse access, or no fusermount3 for this user)";
}

MountedMedium::~MountedMedium() {
    setRules("");
    if (m_whyNot.empty())
        std::system(("fusermount3 -u -z '" + folder() + "' 2>/dev/null").c_str());
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        for (int tenth = 0; tenth < kPatientTenths && ::kill(m_pid, 0) == 0; ++tenth)
            ::usleep(100'000);
    }
}

void MountedMedium::setRules(const std::string& lines) {
    // Whole or not at all: the medium may read the file at any moment.
    writeFile(m_files.file("rules.new"), lines);
    std::filesystem::rename(m_files.file("rules.new"), m_files.file("rules"));
}

bool MountedMedium::waitUntilACallHangs() const {
    for (int tenth = 0; tenth < kPatientTenths; ++tenth) {
        if (fileExists(m_files.file("rules.hung")))
            return true;
        ::usleep(100'000);
    }
    return false;
}
