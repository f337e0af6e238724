#include "platform/Paths.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/IoError.h"
#include "platform/PageFolders.h"
#include "support/TempFolder.h"

TEST(Paths, ConfigurationFolderFollowsXdgConfigHomeAndIsCreated) {
    TempFolder folder;
    useConfigFolder(folder.file("deep/config"));
    EXPECT_EQ(folder.file("deep/config/orvanto/"), paths::configurationFolderPath());
    paths::createFolders(paths::configurationFolderPath());
    EXPECT_EQ(0, paths::folderError(folder.file("deep/config/orvanto")));
}

TEST(Paths, ConfigurationFolderFallsBackToHome) {
    TempFolder folder;
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", folder.path().c_str(), 1);
    useConfigFolder("");
    const std::string result = paths::configurationFolderPath();
    setenv("HOME", savedHome.c_str(), 1);
    EXPECT_EQ(folder.file(".config/orvanto/"), result);
}

TEST(Paths, ConfigurationFolderBlockedByAFileIsAnError) {
    TempFolder folder;
    writeFile(folder.file("config"), "");
    EXPECT_THROW(paths::createFolders(folder.file("config/orvanto/")), IoError);
}

TEST(Paths, ProgramFolderHoldsTheRunningProgram) {
    const std::string folder = paths::programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('/', folder.back());
    EXPECT_EQ(0, paths::folderError(folder));
}

TEST(Paths, PartsOfAPath) {
    const struct {
        const char* path;
        const char* folder;
        const char* name;
    } cases[] = {
        {"/x/y/movie.avi", "/x/y/", "movie.avi"},
        {"/x/y/", "/x/y/", ""},
        {"movie.avi", "", "movie.avi"},
        {"/movie", "/", "movie"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.folder, paths::folderOf(c.path)) << c.path;
        EXPECT_EQ(c.name, paths::fileNameOf(c.path)) << c.path;
    }
    EXPECT_EQ("/x/", paths::withTrailingSlash("/x"));
    EXPECT_EQ("/x/", paths::withTrailingSlash("/x/"));
    EXPECT_EQ("", paths::withTrailingSlash(""));
}

TEST(Paths, NormalisedPathsLeadWhereTheyLed) {
    TempFolder folder;
    paths::createFolders(folder.file("real/"));
    ASSERT_EQ(::symlink("/usr/share", folder.file("link").c_str()), 0);
    EXPECT_EQ(paths::normalised("//x//y/./."), "/x/y");
    EXPECT_EQ(paths::normalised(folder.file("real/../movie.avi")), folder.file("movie.avi"));
    EXPECT_EQ(paths::normalised(folder.file("link/../doc/")), folder.file("link/../doc/"));
}

TEST(Paths, PagesAreLookedForBesideTheProgramThenInItsShareFolder) {
    EXPECT_EQ(paths::pageFolders("/usr/bin/"),
              (std::vector<std::string>{"/usr/bin/", "/usr/share/orvanto/"}));
    EXPECT_EQ(paths::pageFolders("/"), (std::vector<std::string>{"/", "/share/orvanto/"}));

    TempFolder beside, shared;
    const std::vector<std::string> folders = {beside.path(), shared.path()};
    EXPECT_EQ(paths::findPage("help.htm", folders), std::nullopt);
    writeFile(shared.file("help.htm"), "shared");
    std::filesystem::create_directory(beside.file("help.htm")); // a folder is not the page
    EXPECT_EQ(paths::findPage("help.htm", folders), shared.file("help.htm"));
    writeFile(beside.file("download.htm"), "beside");
    writeFile(shared.file("download.htm"), "shared");
    EXPECT_EQ(paths::findPage("download.htm", folders), beside.file("download.htm"));
}
