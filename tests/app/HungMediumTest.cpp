// The terminal programs against a medium that stops answering: a hung call is stopped by the
// first stop signal, or, where the kernel lets only a fatal signal end its wait, ended at once by
// the second.
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

struct HungCall {
    const char* name;
    const char* program; // "split" or "join"
    Place medium;        // what the medium holds
    const char* rule;
    bool endsAtFirstSignal; // else a second one ends the program at once
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

// The program's wait status; a program still running after a generous minute is killed.
int endOf(pid_t pid) {
    int status = 0;
    for (int tenth = 0; tenth < 600; ++tenth) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return status;
        usleep(100'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    ADD_FAILURE() << "the stop signals did not end the program";
    return status;
}

} // namespace

TEST(HungMedium, AStopSignalEndsAHungRead_Write_FsyncOrClose) {
    const HungCall calls[] = {
        {"split write", "split", Place::Destination, "write hang 1000000", true},
        {"piece close", "split", Place::Destination, "flush hang 0", true},
        {"join write", "join", Place::Destination, "write hang 1000000", true},
        {"join fsync", "join", Place::Destination, "fsync hang 0", true},
        // The kernel reads ahead into its cache and waits for that, killably only.
        {"split source read", "split", Place::Source, "read hang 1000000", false},
        {"join piece read", "join", Place::Source, "read hang 1000000", false},
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
        kill(pid, SIGINT);
        if (!call.endsAtFirstSignal)
            kill(pid, SIGINT); // handled after the first: never mistaken for it
        const int status = endOf(pid);
        const std::string err = readFile(config.file("err"));
        EXPECT_NE(err.find(": stopping...\n"), std::string::npos) << err;
        const bool stopped = WIFEXITED(status) && WEXITSTATUS(status) == 130;
        if (call.endsAtFirstSignal) {
            EXPECT_TRUE(stopped) << err;
            EXPECT_TRUE(entriesOf(medium.backing()).empty());
        } else if (!stopped) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << err;
            EXPECT_NE(err.find(": ended at once; "), std::string::npos) << err;
            EXPECT_NE(err.find("may be left"), std::string::npos) << err;
        }
    }
}

// A file that takes the join's name while the join copies stays; the join gives way and leaves
// nothing of its own (on this medium the join's file waits under a hidden name).
TEST(HungMedium, AFileThatTakesTheJoinsNameMeanwhileStays) {
    MountedMedium medium(ORVANTO_TEST_MEDIUM);
    if (!medium.whyNotMounted().empty())
        GTEST_SKIP() << medium.whyNotMounted();
    TempFolder local, config;
    writePatternFile(local.file("movie.avi"), 4'000'000);
    ASSERT_EQ(
        runProgram(ORVANTO_SPLIT_PROGRAM, local.path(), "movie.avi 1M", config.path()).exitCode, 0);
    medium.setRules("write hang 1000000");
    const pid_t pid = start(std::string("exec ") + ORVANTO_JOIN_PROGRAM + " -o '" +
                                medium.folder() + "' '" + local.file("movie.bat") + "'",
                            config.file("err"));
    ASSERT_TRUE(medium.waitUntilACallHangs());
    writeFile(medium.backing() + "movie.avi", "mine");
    medium.setRules("");
    const int status = endOf(pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << readFile(config.file("err"));
    EXPECT_TRUE(readFile(medium.backing() + "movie.avi") == "mine") << "replaced by the join";
    EXPECT_EQ(entriesOf(medium.backing()), std::set<std::string>{"movie.avi"});
}

#endif
