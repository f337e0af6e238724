#include "settings/ProfileFile.h"

#include <csignal>
#include <random>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

// Large enough that a kill often lands while a new copy is being written.
std::string settingsWithCounter(const std::string& number) {
    return "[Pad]\r\nP=" + std::string(300'000, 'p') + "\r\n[Stat]\r\nNumber=" + number + "\r\n";
}

// Starts a child that writes "1" and "2" in turn to the counter until it is killed; returns once
// the child has begun writing.
pid_t startWritingChild(const std::string& path) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        if (::write(ready[1], "r", 1) != 1)
            ::_exit(2);
        try {
            for (int i = 0;; ++i)
                profile::writeString(path, "Stat", "Number", i % 2 == 0 ? "2" : "1");
        } catch (...) {
        }
        ::_exit(1);
    }
    ::close(ready[1]);
    char byte;
    const bool started = child > 0 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    return started ? child : -1;
}

} // namespace

TEST(InterruptedWrite, AKilledWriterLeavesTheOldOrTheNewFileNeverAMix) {
    TempFolder folder;
    const std::string path = folder.file("quorel20.ini");
    const std::string one = settingsWithCounter("1");
    const std::string two = settingsWithCounter("2");
    writeFile(path, one);

    // The moments are random but repeatable; the check holds for any moment.
    std::mt19937 random(20261207);
    std::uniform_int_distribution<useconds_t> pause(0, 4000);
    for (int kill = 0; kill < 50; ++kill) {
        const pid_t child = startWritingChild(path);
        ASSERT_GT(child, 0);
        ::usleep(pause(random));
        ASSERT_EQ(0, ::kill(child, SIGKILL));
        int status = 0;
        ASSERT_EQ(child, ::waitpid(child, &status, 0));
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped before it was killed";

        const std::string content = readFile(path);
        ASSERT_TRUE(content == one || content == two)
            << "kill " << kill << " left " << content.size() << " bytes";
    }
    // What a kill can leave besides is a temporary copy beside the file, never another name.
    for (const std::string& name : entriesOf(folder.path()))
        EXPECT_TRUE(name == "quorel20.ini" || name == ".orvanto.lock" ||
                    name.rfind(".quorel20.ini.", 0) == 0)
            << name;
}
