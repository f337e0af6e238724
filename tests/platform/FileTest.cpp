#include "platform/File.h"

#include <csignal>
#include <cstring>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/IoError.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace {

void writeWhole(const std::string& path, const std::string& content) {
    File file = File::createReplacing(path);
    file.write(content.data(), content.size());
    file.close();
}

} // namespace

TEST(File, CreateReplacingOverALinkLeavesTheTargetAlone) {
    TempFolder folder;
    writeFile(folder.file("target"), "keep me");
    ASSERT_EQ(0, ::symlink(folder.file("target").c_str(), folder.file("link").c_str()));

    writeWhole(folder.file("link"), "new");

    EXPECT_EQ("keep me", readFile(folder.file("target")));
    EXPECT_EQ("new", readFile(folder.file("link")));
    char buffer[16];
    EXPECT_EQ(-1, ::readlink(folder.file("link").c_str(), buffer, sizeof buffer))
        << "the link should have become a plain file";
}

TEST(File, CreateReplacingLeavesTheOtherNameOfAHardLinkAlone) {
    TempFolder folder;
    writeFile(folder.file("first"), "old content");
    ASSERT_EQ(0, ::link(folder.file("first").c_str(), folder.file("second").c_str()));

    writeWhole(folder.file("second"), "new");

    EXPECT_EQ("old content", readFile(folder.file("first")));
    EXPECT_EQ("new", readFile(folder.file("second")));
}

TEST(File, CreateReplacingRefusesAFolder) {
    TempFolder folder;
    ASSERT_EQ(0, ::mkdir(folder.file("sub").c_str(), 0700));
    try {
        File::createReplacing(folder.file("sub"));
        FAIL() << "a folder was replaced";
    } catch (const IoError& error) {
        EXPECT_STREQ(("Could not create " + folder.file("sub") + ": Is a directory").c_str(),
                     error.what());
    }
}

TEST(File, OpeningAMissingFileNamesItAndTheReason) {
    TempFolder folder;
    try {
        File::openForReading(folder.file("missing"));
        FAIL() << "a missing file opened";
    } catch (const IoError& error) {
        EXPECT_STREQ(
            ("Could not open " + folder.file("missing") + ": No such file or directory").c_str(),
            error.what());
        EXPECT_EQ(ENOENT, error.errorNumber());
    }
}

// A file size limit makes the kernel store part of a write and refuse the rest, as a disk that
// fills up does.
TEST(File, AWriteThatStopsShortIsAnError) {
    TempFolder folder;
    const std::string path = folder.file("piece");
    const std::string expected = "Could not write " + path + ": File too large";
    const int status = runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        File file = File::createReplacing(path);
        const std::string block(4096, 'x');
        try {
            file.write(block.data(), block.size());
        } catch (const IoError& error) {
            return expected == error.what() ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(0, status) << "1: no error, 2: wrong message, 3: no limit";
    EXPECT_EQ(std::string(1000, 'x'), readFile(path));
}
