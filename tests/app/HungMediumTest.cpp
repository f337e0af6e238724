// The terminal programs against a medium that stops answering: a hung call is stopped by the
// first stop signal, or, where the kernel lets only a fatal signal end its wait, the program ends
// at the second, once it has removed what it wrote through the folder it holds. A file that takes
// the join's name while the join hangs is never replaced.
#include <csignal>
#include <set>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/MountedMedium.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

#ifdef ORVANTO_TEST_MEDIUM

namespace {

enum class Place { Destination, Source };
enum class Then {
    Stop,        // the first stop signal ends the program
    StopTwice,   // the second one ends it at once
    TakeTheName, // a file takes the join's name on the medium, then the call goes on
};

struct HungCall {
    const char* name;
    const char* program; // "split" or "join"
    Place medium;        // what the medium holds
    const char* rule;
    Then then;
    int second = SIGINT; // the second stop signal: Ctrl+C again, a kill, the terminal closed
};

// Starts command (which execs the program) in a shell with standard error to errPath; returns
// the program's process id.
pid_t start(const std::string& command, const std::string& errPath) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, STDERR_FILENO);
        execl("/bin/sh", "sh", "-c", (command + " >/dev/null").c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Not yet ended; its end is left for endOf to collect.
bool running(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

// The program's wait status; a program still running after a generous minute is killed, and
// the medium lets its call return, without which a killed program never ends.
int endOf(pid_t pid, MountedMedium& medium) {
    int status = 0;
    for (int tenth = 0; tenth < 600; ++tenth) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return status;
        usleep(100'000);
    }
    kill(pid, SIGKILL);
    medium.setRules("");
    waitpid(pid, &status, 0);
    ADD_FAILURE() << "the stop signals did not end the program";
    return status;
}

} // namespace

TEST(HungMedium, AStopSignalEndsAHungRead_Write_FsyncOrClose) {
    const HungCall calls[] = {
        {"split write", "split", Place::Destination, "write hang 1000000", Then::Stop},
        {"piece close", "split", Place::Destination, "flush hang 0", Then::Stop},
        {"join write", "join", Place::Destination, "write hang 1000000", Then::Stop},
        {"join fsync", "join", Place::Destination, "fsync hang 0", Then::Stop},
        {"split's question of the free space", "split", Place::Destination, "statfs hang 0",
         Then::Stop},
        {"split's question, held", "split", Place::Destination, "statfs hold 0", Then::StopTwice},
        // A hard mount: the call never gives way, yet the medium still removes names.
        {"split write, held", "split", Place::Destination, "write hold 1000000", Then::StopTwice,
         SIGTERM},
        {"checksum file's fsync, held", "split", Place::Destination, "fsync hold 0",
         Then::StopTwice},
        {"join write, held", "join", Place::Destination, "write hold 1000000", Then::StopTwice,
         SIGHUP},
        // The kernel reads ahead into its cache and waits for that, killably only.
        {"split source read", "split", Place::Source, "read hang 1000000", Then::StopTwice},
        {"join piece read", "join", Place::Source, "read hang 1000000", Then::StopTwice},
        // The join's file waits under a hidden name on this medium, which has no unnamed files:
        // the user's file stays and the join gives way.
        {"name taken", "join", Place::Destination, "write hang 1000000", Then::TakeTheName},
    };
    for (const HungCall& call : calls) {
        SCOPED_TRACE(call.name);
        MountedMedium medium(ORVANTO_TEST_MEDIUM);
        if (!medium.whyNotMounted().empty())
            GTEST_SKIP() << medium.whyNotMounted();
        TempFolder local, config;
        const std::string input = call.medium == Place::Source ? medium.folder() : local.path();
        const std::string output = call.medium == Place::Source ? local.path() : medium.folder();
        writePatternFile(input + "movie.avi", 4'000'000);
        const bool joins = call.program == std::string("join");
        if (joins) {
            ASSERT_EQ(
                runProgram(ORVANTO_SPLIT_PROGRAM, input, "movie.avi 1M", config.path()).exitCode,
                0);
        }
        const std::string command = "XDG_CONFIG_HOME='" + config.path() + "' exec " +
                                    (joins ? ORVANTO_JOIN_PROGRAM : ORVANTO_SPLIT_PROGRAM) +
                                    " -o '" + output + "' '" + input +
                                    (joins ? "movie.bat'" : "movie.avi' 1M");
        medium.setRules(call.rule);
        const pid_t pid = start(command, config.file("err"));
        ASSERT_TRUE(medium.waitUntilACallHangs());
        if (call.then == Then::TakeTheName) {
            writeFile(medium.backing() + "movie.avi", "mine");
            medium.setRules("");
        } else {
            kill(pid, SIGINT);
        }
        if (call.then == Then::StopTwice) {
            kill(pid, call.second); // handled after the first: never mistaken for it
            // A call the medium holds holds the ending program too, until the medium answers.
            for (int tenth = 0;
                 tenth < 600 && running(pid) &&
                 readFile(config.file("err")).find("ended at once") == std::string::npos;
                 ++tenth)
                usleep(100'000);
            medium.setRules("");
        }
        const int status = endOf(pid, medium);
        const std::string err = readFile(config.file("err"));
        if (call.then == Then::TakeTheName) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << err;
            EXPECT_TRUE(readFile(medium.backing() + "movie.avi") == "mine") << "replaced";
            EXPECT_EQ(entriesOf(medium.backing()), std::set<std::string>{"movie.avi"});
            continue;
        }
        EXPECT_NE(err.find(": stopping...\n"), std::string::npos) << err;
        const bool stopped = WIFEXITED(status) && WEXITSTATUS(status) == 130;
        // Nothing that was written stays unless the program named it, hidden files included;
        // where the medium answers, nothing stays.
        const std::string written = call.medium == Place::Source ? local.path() : medium.backing();
        for (const std::string& left : entriesOf(written)) {
            EXPECT_NE(err.find(" " + left), std::string::npos) << left << " unnamed in " << err;
        }
        if (call.then == Then::Stop || call.medium == Place::Source) {
            EXPECT_TRUE(entriesOf(written).empty()) << err;
        }
        if (call.then == Then::Stop) {
            EXPECT_TRUE(stopped) << err;
        } else if (!stopped) {
            // The first signal taken ends it: SIGINT, or the second when both were pending,
            // which are taken lowest first (SIGHUP before SIGINT).
            EXPECT_TRUE(WIFSIGNALED(status) &&
                        (WTERMSIG(status) == SIGINT || WTERMSIG(status) == call.second))
                << err;
            EXPECT_NE(err.find(": ended at once; "), std::string::npos) << err;
        }
    }
}

#endif
