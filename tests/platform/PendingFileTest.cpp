#include "platform/PendingFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "platform/Folder.h"
#include "platform/IoError.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace {

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename());
    return names;
}

} // namespace

// Until it is published no name shows the file; afterwards only its own name does.
TEST(PendingFile, TakesItsNameOnlyWhenPublishedAndLeavesNothingElse) {
    const struct {
        const char* existing;
        bool replace, published;
        const char* content;
    } cases[] = {
        {nullptr, false, true, "new"},
        {"old", false, false, "old"},
        {"old", true, true, "new"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.replace) + (c.existing ? " over a file" : ""));
        TempFolder temp;
        if (c.existing)
            writeFile(temp.file("target"), c.existing);
        const Folder folder = Folder::open(temp.path());
        {
            PendingFile pending(folder, ".hidden.", "target", temp.file("target"), 0600);
            pending.file().write("new", 3);
            EXPECT_EQ(namesIn(temp.path()).size(), c.existing ? 1u : 0u) << "a name showed";
            EXPECT_EQ(pending.publish(c.replace), c.published);
        }
        EXPECT_EQ(namesIn(temp.path()), std::set<std::string>{"target"});
        EXPECT_EQ(readFile(temp.file("target")), c.content);
    }
}

// Hidden files of the pattern are stale once no writer locks them; a live one and another
// user's stay.
TEST(PendingFile, RemovesOnlyStaleHiddenFilesOfThisUser) {
    TempFolder temp;
    for (const char* name : {".hidden.7", ".hidden.Ab3xY9", ".hidden.live", ".hidden.other",
                             ".hidden.toolong1", "hidden.7"})
        writeFile(temp.file(name), "");
    const int live = ::open(temp.file(".hidden.live").c_str(), O_RDONLY);
    ASSERT_EQ(0, ::flock(live, LOCK_EX));
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(0, ::chown(temp.file(".hidden.other").c_str(), kOrdinaryUserId, 0));
    }
    const Folder folder = Folder::open(temp.path());
    PendingFile pending(folder, ".hidden.", "target", temp.file("target"), 0600);
    std::set<std::string> kept = {".hidden.live", ".hidden.toolong1", "hidden.7"};
    if (root)
        kept.insert(".hidden.other");
    EXPECT_EQ(namesIn(temp.path()), kept);
    EXPECT_THROW(PendingFile(folder, ".hidden.", ".hidden.7", temp.file(".hidden.7"), 0600),
                 IoError);
    ::close(live);
    if (!root)
        GTEST_SKIP() << "not root: another user's hidden file was not tried";
}
