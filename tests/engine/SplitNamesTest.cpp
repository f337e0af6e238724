#include "engine/SplitNames.h"

#include <gtest/gtest.h>

TEST(SplitNames, DerivesBaseTargetAndFolder) {
    const struct {
        const char* path;
        const char* base;
        const char* target;
        const char* folder;
    } cases[] = {
        {"/video/movie.avi", "movie", "movie.avi", "/video/"},
        {"/video/my.holiday.avi", "my", "my.holiday.avi", "/video/"},
        {"/home/u/README", "README", "README", "/home/u/"},
        {"/home/u/.profile", "", ".profile", "/home/u/"},
        {"/a b/my movie.mp4", "my movie", "my movie.mp4", "/a b/"},
        {"/d/archive.tar.gz", "archive", "archive.tar.gz", "/d/"},
        {"/d/c:name.txt", "c:name", "c:name.txt", "/d/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const SplitNames names = deriveSplitNames(c.path);
        EXPECT_EQ(names.baseName, c.base);
        EXPECT_EQ(names.targetName, c.target);
        EXPECT_EQ(names.sourceFolder, c.folder);
    }
}
