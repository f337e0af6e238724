// Links planted at the names a split writes, and sources that are not plain files.

#include <csignal>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ScriptFollower.h"
#include "SplitFixture.h"
#include "engine/SplitJob.h"
#include "support/ChildProcess.h"

namespace {

class HostilePaths : public SplitFixture {};

bool isPlainFile(const std::string& path) {
    return std::filesystem::symlink_status(path).type() == std::filesystem::file_type::regular;
}

} // namespace

// In a shared folder someone may plant movie.2 -> ~/important before the split; the split is
// refused and the link, and what it points to, stay as they were.
TEST_F(HostilePaths, LinksAtLaterNamesStopTheSplitAndStayAsTheyWere) {
    TempFolder elsewhere;
    writeFile(elsewhere.file("important"), "keep me");
    const std::string source = makeSource("movie.avi", 350000);
    std::filesystem::create_symlink(elsewhere.file("not there"), folder() + "movie.bat");
    std::filesystem::create_symlink(elsewhere.file("important"), folder() + "movie.3");

    EXPECT_EQ(std::get<SplitRefusal>(split(source, 100000)),
              SplitRefusal(split_refusal::NameExists{folder(), "movie.3"}));
    EXPECT_EQ(readFile(folder() + "movie.3"), "keep me");
    EXPECT_FALSE(isPlainFile(folder() + "movie.bat"));
    EXPECT_FALSE(fileExists(folder() + "movie.1"));
}

// A link to a plain file is split as that file, which stays as it was.
TEST_F(HostilePaths, ASourceThatIsALinkSplitsTheFileItLeadsTo) {
    TempFolder elsewhere;
    writePatternFile(elsewhere.file("real.avi"), 250000);
    const std::string original = readFile(elsewhere.file("real.avi"));
    std::filesystem::create_symlink(elsewhere.file("real.avi"), folder() + "movie.avi");

    ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(folder() + "movie.avi", 100000)));
    EXPECT_TRUE(readFile(elsewhere.file("real.avi")) == original);
    std::filesystem::remove(folder() + "movie.avi");
    EXPECT_EQ(followRejoinScript(folder(), "movie.bat"), "movie.avi");
    EXPECT_TRUE(readFile(folder() + "movie.avi") == original);
}

// None of these is a file that can be split; each is refused before anything is opened. The
// request runs in a child that an alarm ends, so a source that never ends fails the test
// instead of hanging it.
TEST_F(HostilePaths, SourcesThatAreNotPlainFilesAreRefused) {
    ASSERT_EQ(::mkfifo((folder() + "pipe.avi").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder() + "nowhere", folder() + "dangling.avi");
    std::filesystem::create_symlink(folder() + "loop.avi", folder() + "loop.avi");
    const std::string sources[] = {folder() + "pipe.avi", "/dev/zero", folder() + "dangling.avi",
                                   folder() + "loop.avi", folder()};
    for (const std::string& source : sources) {
        SCOPED_TRACE(source);
        const int status = runInChild([&] {
            ::alarm(60);
            // As if the chooser had reported a size that needs several pieces.
            const SplitOutcome outcome = split({source, 1000000, 100000, ""});
            const auto* refusal = std::get_if<SplitRefusal>(&outcome);
            if (!refusal)
                return 10;
            return *refusal == SplitRefusal(split_refusal::NoSource{source}) ? 0 : 11;
        });
        EXPECT_EQ(status, 0) << "10: not refused, 11: another message, -1: no end";
    }
    EXPECT_EQ(entriesOf(folder()), (std::set<std::string>{"pipe.avi", "dangling.avi", "loop.avi"}));
}
