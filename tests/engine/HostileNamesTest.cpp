// Names that a shell or cmd would read as syntax, and names at the file system's limits.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ScriptFollower.h"
#include "SplitFixture.h"
#include "WineCmd.h"
#include "engine/JoinJob.h"
#include "engine/SplitNames.h"
#include "settings/Settings.h"
#include "support/IoFailure.h"

namespace {

struct OddName {
    std::string fileName;
    // False for a name too long for cmd in any folder but a drive's top
    // (see EveryAcceptedNameRejoinsUnderCmd).
    bool runsUnderCmd;
};

const std::vector<OddName>& oddNames() {
    static const std::vector<OddName> names = {
        {"my movie.avi", true},
        {"100% sure.txt", true},
        {"a&b.dat", true},
        {"c^d.dat", true},
        {"(x) y.dat", true},
        {"wow!.dat", true},
        {"semi;colon.dat", true},
        {"all % & ^ ( ) ! ;.bin", true},
        {"my.holiday.2024.avi", true},
        {".hidden.txt", true},
        {"...dots", true},
        // Next to names that are refused: a device name's prefix, a target like a piece's name.
        {"CONSOLE.log", true},
        {"access.log.2x", true},
        {std::string(196, 'n') + ".bin", true},
        {std::string(251, 'n') + ".bin", false},
    };
    return names;
}

class HostileNames : public SplitFixture {
protected:
    // Splits a patterned source of the given name in a fresh folder and moves the source away,
    // keeping its bytes; the pieces and the script stay in work.
    std::string splitAway(const TempFolder& work, const std::string& fileName) {
        const std::string source = work.file(fileName);
        writePatternFile(source, 250000);
        std::string original = readFile(source);
        m_steps = JobSteps();
        EXPECT_TRUE(std::holds_alternative<SplitCompletion>(split(source, 100000)));
        std::filesystem::remove(source);
        return original;
    }
};

// The name that line 3 prints, standing alone on its line after cmd's prompt or a line break.
bool echoesName(const std::string& output, const std::string& name) {
    const std::string echo = name + " has been recreated for you.";
    const std::size_t at = output.find(echo);
    return at != std::string::npos && at > 0 && (output[at - 1] == '>' || output[at - 1] == '\n');
}

} // namespace

TEST_F(HostileNames, EveryAcceptedNameRejoinsByteForByte) {
    for (const OddName& name : oddNames()) {
        SCOPED_TRACE(name.fileName);
        TempFolder work;
        const SplitNames names = deriveSplitNames(work.file(name.fileName));
        const std::string original = splitAway(work, name.fileName);
        EXPECT_EQ(followRejoinScript(work.path(), scriptName(names.baseName)), names.targetName);
        EXPECT_TRUE(readFile(work.file(names.targetName)) == original);
        // 251 bytes before the first dot leave no room for a checksum file's name.
        const JoinOutcome joined = JoinJob({work.file(scriptName(names.baseName)), "", true}).run();
        EXPECT_TRUE(std::holds_alternative<JoinCompletion>(joined)) << "and by orvanto-join";
    }
}

TEST_F(HostileNames, AScriptNameBeyondTheLimitIsRefusedBeforeAnythingIsWritten) {
    // The source's name has 255 bytes, its first piece too; the script's would have 257.
    const std::string name = std::string(253, 'n') + ".x";
    const std::string source = makeSource(name, 250000);
    EXPECT_EQ(
        std::get<SplitRefusal>(split(source, 100000)),
        SplitRefusal(split_refusal::NameTooLong{folder(), std::string(253, 'n') + ".bat", 255}));
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{name});
}

// One kind of accepted name is not run here: cmd takes no path longer than 260 characters,
// which a 255-byte name exceeds in any folder but a drive's top ("File name is too long.").
TEST_F(HostileNames, EveryAcceptedNameRejoinsUnderCmd) {
    if (!WineCmd::installed())
        GTEST_SKIP() << "wine is not installed";
    const WineCmd wine;
    for (const OddName& name : oddNames()) {
        if (!name.runsUnderCmd)
            continue;
        SCOPED_TRACE(name.fileName);
        TempFolder work;
        const SplitNames names = deriveSplitNames(work.file(name.fileName));
        const std::string original = splitAway(work, name.fileName);

        const std::string output = wine.runScript(work.path(), scriptName(names.baseName));
        EXPECT_TRUE(fileExists(work.file(names.targetName))) << output;
        EXPECT_TRUE(readFile(work.file(names.targetName)) == original);
        EXPECT_TRUE(echoesName(output, names.targetName)) << output;
    }
}
