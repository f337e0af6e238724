#include "platform/PendingFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <set>

#include <gtest/gtest.h>

#include "platform/Folder.h"
#include "platform/IoError.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

// The file takes its name only when published, and replaces another only when asked to.
TEST(PendingFile, TakesItsNameOnlyWhenPublished) {
    for (const bool replace : {false, true}) {
        TempFolder temp;
        writeFile(temp.file("target"), "old");
        const Folder folder = Folder::open(temp.path());
        {
            PendingFile pending(folder, ".hidden.", "target", temp.file("target"), 0600);
            pending.file().write("new", 3);
            EXPECT_EQ(pending.publish(replace), replace);
        }
        EXPECT_EQ(entriesOf(temp.path()), std::set<std::string>{"target"});
        EXPECT_EQ(readFile(temp.file("target")), replace ? "new" : "old");
    }
}

// While a file is written no name shows it. Hidden files of the pattern are stale once no writer
// locks them; a live one and another user's stay.
TEST(PendingFile, RemovesOnlyStaleHiddenFilesOfThisUser) {
    TempFolder temp;
    for (const char* name : {".hidden.7", ".hidden.Ab3xY9", ".hidden.live", ".hidden.other",
                             ".hidden.toolong1", "hidden.7"})
        writeFile(temp.file(name), "");
    const int live = ::open(temp.file(".hidden.live").c_str(), O_RDONLY);
    ASSERT_EQ(0, ::flock(live, LOCK_EX));
    handToOrdinaryUser(temp.file(".hidden.other"));
    const Folder folder = Folder::open(temp.path());
    PendingFile pending(folder, ".hidden.", "target", temp.file("target"), 0600);
    std::set<std::string> kept = {".hidden.live", ".hidden.toolong1", "hidden.7"};
    if (::geteuid() == 0)
        kept.insert(".hidden.other");
    EXPECT_EQ(entriesOf(temp.path()), kept);
    EXPECT_THROW(PendingFile(folder, ".hidden.", ".hidden.7", temp.file(".hidden.7"), 0600),
                 IoError);
    ::close(live);
    if (::geteuid() != 0)
        GTEST_SKIP() << "not root: another user's hidden file was not tried";
}
