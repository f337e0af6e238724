#include <filesystem>

#include <gtest/gtest.h>

#include "SplitFixture.h"
#include "WineCmd.h"
#include "engine/ScriptGrammar.h"

namespace {

class WineRejoin : public SplitFixture {};

} // namespace

// Runs the rejoin script under Wine's cmd, the nearest thing to Windows here.
TEST_F(WineRejoin, ScriptRecreatesTheSourceUnderCmd) {
    if (!WineCmd::installed())
        GTEST_SKIP() << "wine is not installed";
    const WineCmd wine;

    const struct {
        std::string name;
        std::int64_t size;
        std::int64_t splitSize;
        int pieces;
    } cases[] = {
        {"movie.avi", 250000, 100000, 3},
        {"100% sure.txt", 250000, 100000, 3},
        {"a&b (copy).dat", 250000, 100000, 3},
        {std::string(60, 'L') + ".bin", 398 * 10000 + 5000, 10000, 399},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder work;
        TempFolder original;
        const std::string source = work.file(c.name);
        writePatternFile(source, c.size);
        ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(source, c.splitSize)));
        const std::string base = c.name.substr(0, c.name.find('.'));
        ASSERT_TRUE(fileExists(work.file(base + "." + std::to_string(c.pieces))));
        std::filesystem::rename(source, original.file("source"));

        const std::string output = wine.runScript(work.path(), base + ".bat");
        ASSERT_TRUE(fileExists(source)) << output;
        EXPECT_TRUE(readFile(source) == readFile(original.file("source")));
        EXPECT_NE(output.find(c.name + " has been recreated for you."), std::string::npos)
            << output;
    }
}

// Wine reads batch lines in its start-up code page whatever chcp says, so it cannot rejoin a name
// outside ASCII: the switch to UTF-8 and back runs here around an ASCII name's copy.
TEST_F(WineRejoin, TheSwitchToUtf8RejoinsQuietlyAndRestoresTheCodePageUnderCmd) {
    if (!WineCmd::installed())
        GTEST_SKIP() << "wine is not installed";
    const WineCmd wine;
    const std::string source = makeSource("movie.avi", 250000), original = readFile(source);
    ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(source, 100000)));
    std::filesystem::remove(source);
    using namespace script_grammar;
    std::string script = readFile(folder() + "movie.bat");
    for (auto line = kSwitchToUtf8.rbegin(); line != kSwitchToUtf8.rend(); ++line)
        script.insert(kEchoOff.size() + kLineEnd.size(), *line + kLineEnd);
    writeFile(folder() + "movie.bat", script + kRestoreCodePage + kLineEnd);
    writeFile(folder() + "check.bat", "@chcp\r\n@CALL movie.bat\r\n@chcp\r\n@SET ORVANTO\r\n");
    const std::string shown = wine.runInConsole(folder(), "check.bat");
    const std::string codePage = shown.substr(0, shown.find('\n') + 1);
    EXPECT_EQ(codePage.rfind("Active code page: ", 0), 0u) << shown;
    EXPECT_EQ(shown, codePage + "movie.avi has been recreated for you.\n" + codePage +
                         "Environment variable ORVANTO not defined\n");
    EXPECT_TRUE(readFile(source) == original);
}
