#include "platform/FileSystem.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/IoError.h"
#include "support/TempFolder.h"

using fs_entry::Kind;

namespace {

// A folder with one entry of each kind the listing and the kind queries tell apart.
void fillWithEveryKind(const TempFolder& folder) {
    writeFile(folder.file("plain.txt"), "12345");
    writeFile(folder.file(".hidden"), "x");
    ::mkdir(folder.file("sub").c_str(), 0700);
    ::symlink(folder.file("plain.txt").c_str(), folder.file("link").c_str());
    ::symlink(folder.file("nowhere").c_str(), folder.file("dangling").c_str());
    ::mkfifo(folder.file("pipe").c_str(), 0600);
}

} // namespace

TEST(FileSystem, KindsOfEntryAndTarget) {
    TempFolder folder;
    fillWithEveryKind(folder);
    const struct {
        const char* name;
        Kind entry;
        Kind target;
    } cases[] = {
        {"plain.txt", Kind::Regular, Kind::Regular}, {"sub", Kind::Directory, Kind::Directory},
        {"link", Kind::SymbolicLink, Kind::Regular}, {"dangling", Kind::SymbolicLink, Kind::None},
        {"pipe", Kind::Other, Kind::Other},          {"missing", Kind::None, Kind::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.entry, fs_entry::entryKind(folder.file(c.name))) << c.name;
        EXPECT_EQ(c.target, fs_entry::targetKind(folder.file(c.name))) << c.name;
    }
    EXPECT_EQ(5, fs_entry::targetSize(folder.file("link")));
    EXPECT_EQ(-1, fs_entry::targetSize(folder.file("missing")));
}

TEST(FileSystem, ListingHoldsOnlyVisibleRegularFilesAndLinksToThem) {
    TempFolder folder;
    fillWithEveryKind(folder);
    writeFile(folder.file("second"), "");

    std::vector<std::string> names = fs_entry::regularFileNames(folder.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"link", "plain.txt", "second"}), names);
    EXPECT_TRUE(fs_entry::regularFileNames(folder.file("missing")).empty());
}

TEST(FileSystem, SameFileFollowsLinks) {
    TempFolder folder;
    fillWithEveryKind(folder);
    writeFile(folder.file("copy.txt"), "12345");
    EXPECT_TRUE(fs_entry::isSameFile(folder.file("plain.txt"), folder.file("link")));
    EXPECT_FALSE(fs_entry::isSameFile(folder.file("plain.txt"), folder.file("copy.txt")));
    EXPECT_FALSE(fs_entry::isSameFile(folder.file("missing"), folder.file("missing")));
}

TEST(FileSystem, SpaceIsKnownForAnExistingFolderOnly) {
    TempFolder folder;
    const auto space = fs_entry::folderSpace(folder.path());
    ASSERT_TRUE(space.has_value());
    EXPECT_GT(space->allocationUnit, 0);
    EXPECT_FALSE(fs_entry::folderSpace(folder.file("missing")).has_value());
}
