#include "settings/ProfileFile.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/WholeFile.h"
#include "settings/SettingsFileError.h"
#include "support/ChildProcess.h"
#include "support/IoFailure.h"
#include "support/TempFolder.h"

using namespace std::string_literals;

namespace {

// Writes in a child process that restrict() prepares; gives 0 when the write failed naming the
// file and the system's reason, 1 when it did not fail, 2 otherwise, 3 when restrict() failed.
int refusedWriteStatus(const std::string& path, const std::function<bool()>& restrict) {
    return runInChild([&] {
        if (!restrict())
            return 3;
        try {
            profile::writeString(path, "Stat", "Number", std::string(5000, '6'));
        } catch (const SettingsFileError& error) {
            return error.path() == path && error.errorNumber() != 0 ? 0 : 2;
        }
        return 1;
    });
}

// The failure of reading path, and its fault.
std::tuple<IoFailure, IoError::Fault> readError(const std::string& path) {
    try {
        profile::readString(path, "A", "k", "");
    } catch (const IoError& error) {
        return {ioFailureOf(error), error.fault()};
    }
    return {};
}

// Bytes 0 to 255 in order: line breaks, brackets, "=" and NUL in odd places.
std::string everyByte() {
    std::string bytes;
    for (int c = 0; c < 256; ++c)
        bytes.push_back(static_cast<char>(c));
    return bytes;
}

} // namespace

TEST(ProfileFile, ReadsValuesFromAnyTolerableFile) {
    const struct {
        std::string content;
        const char* section;
        const char* key;
        std::string expected;
    } cases[] = {
        {"[Stat]\r\nNumber=41\r\n", "Stat", "Number", "41"},
        {"[STAT]\n  nUmBeR  =  5 \n", "stat", "Number", "5"},
        {"[History]\nLoc=\" /a b/ \"\n", "History", "Loc", " /a b/ "},
        {"[A]\rk=1\r[B]\rk=2\r", "B", "k", "2"},
        {"\xEF\xBB\xBF[A]\r\nk=v\r\n", "A", "k", "v"},
        {"\x01\xff\n[A\nno equals\n\0\0=\0\n;k=comment\nk=v=w"s, "A", "k", "v=w"},
        {"[A]\nk=1\nk=2\n[A]\nk=3\n", "A", "k", "1"},
        {"[A]\nother=1\n[B]\nk=2\n", "A", "k", "fallback"},
        {"k=1\n[A]\n", "A", "k", "fallback"},
        {"", "A", "k", "fallback"},
        {"[A]\nk=ab\0cd\n"s, "A", "k", "ab"},
        {everyByte() + "\n[A]\nk=v\n", "A", "k", "v"},
        // A long value is cut.
        {"[A]\nk=" + std::string(3000, 'v') + "\n", "A", "k", std::string(2047, 'v')},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        writeFile(folder.file("a.ini"), c.content);
        EXPECT_EQ(c.expected,
                  profile::readString(folder.file("a.ini"), c.section, c.key, "fallback"))
            << c.content;
    }
    EXPECT_EQ("fallback", profile::readString(folder.file("missing.ini"), "A", "k", "fallback"));
}

TEST(ProfileFile, AFourMegabyteLineIsReadCutAndKeptByAWrite) {
    TempFolder folder;
    const std::string path = folder.file("a.ini");
    const std::string longLine = "long=" + std::string(4'000'000, 'x');
    writeFile(path, "[A]\n" + longLine + "\nk=1\n");

    EXPECT_EQ(std::string(2047, 'x'), profile::readString(path, "A", "long", ""));
    profile::writeString(path, "A", "k", "2");
    EXPECT_EQ("[A]\n" + longLine + "\nk=2\n", readFile(path));
}

TEST(ProfileFile, AWriteChangesOnlyItsOwnLine) {
    const struct {
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } cases[] = {
        {"; note\n[History]\nLoc=/old/\n\n[Stat]\nNumber=1\n", "Stat", "Number", "2",
         "; note\n[History]\nLoc=/old/\n\n[Stat]\nNumber=2\n"},
        {"[STAT]\r\n  NUMBER = 1\r\n", "Stat", "Number", "2", "[STAT]\r\nNUMBER=2\r\n"},
        {"[History]\nLoc=/a/\n\n[Stat]\nNumber=1\n", "History", "Last Dir", "/d/",
         "[History]\nLoc=/a/\nLast Dir=/d/\n\n[Stat]\nNumber=1\n"},
        {"[A]\nk=1", "Stat", "Number", "0", "[A]\nk=1\n[Stat]\nNumber=0\n"},
        {"[A]\rk=1\r", "A", "j", "2", "[A]\rk=1\rj=2\r"},
        {"", "Stat", "Number", "0", "[Stat]\r\nNumber=0\r\n"},
        {"\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2", "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
        {"[H]\n", "H", "Loc", " /x ", "[H]\nLoc=\" /x \"\n"},
        {"[A]\nk=1\n[a]\nK=3\n", "A", "k", "2", "[A]\nk=2\n[a]\nK=3\n"},
        {"[A\nk=1\n", "A", "k", "2", "[A\nk=2\n"},
        {"[A]\nk\n", "A", "k", "2", "[A]\nk\nk=2\n"},
        {"[A]\nj=\0\xff\nk=1\n"s, "A", "k", "2", "[A]\nj=\0\xff\nk=2\n"s},
    };
    TempFolder folder;
    const std::string path = folder.file("a.ini");
    for (const auto& c : cases) {
        writeFile(path, c.before);
        profile::writeString(path, c.section, c.key, c.value);
        EXPECT_EQ(c.after, readFile(path)) << c.before;
        EXPECT_EQ(c.value, profile::readString(path, c.section, c.key, "")) << c.before;
    }
}

TEST(ProfileFile, OnlyRegularFilesUpToAFewMegabytesAreRead) {
    TempFolder folder;
    ASSERT_EQ(0, ::mkfifo(folder.file("fifo.ini").c_str(), 0644));
    std::filesystem::create_symlink("/dev/zero", folder.file("zero.ini"));
    std::filesystem::create_directory(folder.file("folder.ini"));
    writeFile(folder.file("large.ini"), std::string(whole_file::kMaxReadSize + 1, '\n'));
    using Fault = IoError::Fault;
    const std::tuple<const char*, int, Fault> cases[] = {{"fifo.ini", 0, Fault::NotPlainFile},
                                                         {"zero.ini", 0, Fault::NotPlainFile},
                                                         {"folder.ini", EISDIR, Fault::System},
                                                         {"large.ini", EFBIG, Fault::System}};
    for (const auto& [name, errorNumber, fault] : cases)
        EXPECT_EQ(readError(folder.file(name)),
                  std::make_tuple(
                      IoFailure(IoError::Operation::Read, folder.file(name), errorNumber), fault));
    EXPECT_THROW(profile::writeString(folder.file("fifo.ini"), "A", "k", "v"), SettingsFileError);
}

// A chain of a relative and an absolute link, as dotfile managers leave them.
TEST(ProfileFile, AWriteKeepsTheModeAndOwnerAndWritesThroughLinks) {
    TempFolder folder;
    std::filesystem::create_directories(folder.file("dotfiles/orvanto"));
    const std::string target = folder.file("dotfiles/orvanto/a.ini");
    std::filesystem::create_symlink("dotfiles/orvanto/a.ini", folder.file("chained"));
    std::filesystem::create_symlink(folder.file("chained"), folder.file("a.ini"));
    for (const std::string& path : {target, folder.file("a.ini")}) {
        writeFile(target, "[A]\nk=1\n");
        ASSERT_EQ(0, ::chmod(target.c_str(), 0640));
        handToOrdinaryUser(target);
        profile::writeString(path, "A", "k", "2");
        struct stat info {};
        ASSERT_EQ(0, ::stat(target.c_str(), &info));
        EXPECT_EQ("[A]\nk=2\n", readFile(target));
        EXPECT_EQ(0640u, info.st_mode & 07777);
        EXPECT_EQ(::getuid() == 0 ? kOrdinaryUserId : ::getuid(), info.st_uid);
        EXPECT_TRUE(std::filesystem::is_symlink(folder.file("a.ini")));
    }
}

TEST(ProfileFile, AWriteRemovesItsOwnStaleTemporariesOnly) {
    const std::pair<const char*, bool> namesKept[] = {
        {".a.ini.Ab3xYz", false}, {".a.ini.000000", false}, {".a.ini.Ab3xY", true},
        {".a.ini.Ab3xYz7", true}, {".b.ini.Ab3xYz", true},  {"a.ini.Ab3xYz", true},
        {".a.ini.Ab-xYz", true},  {".a.iniXAb3xYz", true}};
    TempFolder folder;
    for (const auto& [name, kept] : namesKept)
        writeFile(folder.file(name), "x");
    profile::writeString(folder.file("a.ini"), "A", "k", "1");
    for (const auto& [name, kept] : namesKept)
        EXPECT_EQ(kept, fileExists(folder.file(name))) << name;
}

TEST(ProfileFile, ARefusedWriteLeavesTheOldFileAndNoTemporaryFile) {
    // Root may write anywhere, so read-only entries are tried as an ordinary user.
    const auto readOnlyFolder = [](const std::string& folder) {
        return ::chmod(folder.c_str(), 0555) == 0 && becomeOrdinaryUser();
    };
    // The user owns the folder, so only the file's own mode stands in the way.
    const auto readOnlyFile = [](const std::string& folder) {
        handToOrdinaryUser(folder);
        return ::chmod((folder + "quorel20.ini").c_str(), 0444) == 0 && becomeOrdinaryUser();
    };
    // The limit lets the temporary file be created and then stops its content, as a full disk.
    const auto fullDisk = [](const std::string&) {
        const rlimit limit{100, 100};
        return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    };
    for (const auto& restrict : {std::function<bool(const std::string&)>(readOnlyFolder),
                                 std::function<bool(const std::string&)>(readOnlyFile),
                                 std::function<bool(const std::string&)>(fullDisk)}) {
        TempFolder folder;
        const std::string path = folder.file("quorel20.ini");
        const std::string before = "[Stat]\r\nNumber=5\r\n";
        writeFile(path, before);
        ASSERT_EQ(0, ::chmod(path.c_str(), 0644));
        ASSERT_EQ(0, ::chmod(folder.path().c_str(), 0755));

        EXPECT_EQ(0, refusedWriteStatus(path, [&] { return restrict(folder.path()); }));
        EXPECT_EQ(before, readFile(path));
        std::set<std::string> left = entriesOf(folder.path());
        left.erase(".orvanto.lock");
        EXPECT_EQ(std::set<std::string>{"quorel20.ini"}, left);
    }
}

TEST(ProfileFile, WritesThatCannotBeStoredAreRefused) {
    TempFolder folder;
    writeFile(folder.file("file"), "");
    const std::string blocked = folder.file("file/a.ini");
    const std::string settings = folder.file("a.ini");
    writeFile(settings, "[H]\nLoc=/a/\n");

    const struct {
        std::string path, value;
        int errorNumber;
    } cases[] = {{blocked, "/b/", ENOTDIR},
                 // A line break would add a line of its own to the file.
                 {settings, "/b/\n[X]", 0}};
    for (const auto& c : cases) {
        try {
            profile::writeString(c.path, "H", "Loc", c.value);
            ADD_FAILURE() << c.path << " written";
        } catch (const SettingsFileError& error) {
            EXPECT_EQ(error.kind(), SettingsFileError::Kind::Write);
            EXPECT_EQ(error.path(), c.path);
            EXPECT_EQ(error.errorNumber(), c.errorNumber);
        }
    }
    EXPECT_EQ("[H]\nLoc=/a/\n", readFile(settings));
}
