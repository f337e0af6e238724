#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "SplitFixture.h"

namespace {

bool wineInstalled() {
    return std::system("command -v wine >/dev/null 2>&1") == 0;
}

std::string singleQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class WineRejoin : public SplitFixture {};

} // namespace

// Runs the rejoin script under Wine's cmd, the nearest thing to Windows here. All cases share
// one Wine prefix, whose first start takes a while.
TEST_F(WineRejoin, ScriptRunByCmdRecreatesTheSource) {
    if (!wineInstalled())
        GTEST_SKIP() << "wine is not installed";
    TempFolder prefix;
    const std::string wineEnvironment =
        "WINEDEBUG=-all WINEPREFIX=" + singleQuoted(prefix.path() + "wine");

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
        ASSERT_EQ(split(source, c.splitSize), SplitOutcome::Completed);
        ASSERT_TRUE(fileExists(
            work.file(c.name.substr(0, c.name.find('.')) + "." + std::to_string(c.pieces))));
        std::filesystem::rename(source, original.file("source"));

        // Copied to a plain name, so that the command line of cmd does not have to hold the
        // name's own specials.
        const std::string base = c.name.substr(0, c.name.find('.'));
        std::filesystem::copy_file(work.file(base + ".bat"), work.file("rejoin.bat"));
        const std::string output = prefix.file("output.txt");
        const std::string command = "cd " + singleQuoted(work.path()) + " && " + wineEnvironment +
                                    " wine cmd /c rejoin.bat >" + singleQuoted(output) + " 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0);
        ASSERT_TRUE(fileExists(source)) << readFile(output);
        EXPECT_TRUE(readFile(source) == readFile(original.file("source")));
        EXPECT_NE(readFile(output).find(c.name + " has been recreated for you."), std::string::npos)
            << readFile(output);
    }
    // The server of a prefix outlives the last program a while; it must not outlive the prefix.
    const std::string stopServer =
        "WINEPREFIX=" + singleQuoted(prefix.path() + "wine") + " wineserver -k 2>/dev/null";
    [[maybe_unused]] const int notRunning = std::system(stopServer.c_str());
}
