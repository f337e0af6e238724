#include "settings/Settings.h"

#include <future>
#include <vector>

#include <gtest/gtest.h>

#include "platform/IoError.h"
#include "settings/ConversionError.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace settings;

namespace {

class SettingsFiles : public ::testing::Test {
protected:
    SettingsFiles() {
        useConfigFolder(m_folder.path());
        initLayoutPath();
        initSettingsPath();
    }

    void storeSettings(const std::string& content) { writeFile(settingsFilePath(), content); }

    // The message ReadSplitCounter fails with, or "" when it succeeds.
    std::string counterError() {
        try {
            ReadSplitCounter();
        } catch (const ConversionError& error) {
            return error.what();
        }
        return "";
    }

    TempFolder m_folder;
};

} // namespace

TEST_F(SettingsFiles, BothFilesSitInTheConfigurationFolder) {
    EXPECT_EQ(m_folder.file("orvanto/"), windowsDirectory());
    EXPECT_EQ(m_folder.file("orvanto/VU_2.ini"), layoutFilePath());
    EXPECT_EQ(m_folder.file("orvanto/quorel20.ini"), settingsFilePath());
}

TEST_F(SettingsFiles, FirstRunCreatesTheFileWithTheCounterOnly) {
    createSettingsFileIfMissing();
    EXPECT_EQ("[Stat]\r\nNumber=0\r\n", readFile(settingsFilePath()));
    EXPECT_EQ(0, ReadSplitCounter());
    AddToSplitCounter(1);
    EXPECT_EQ(1, ReadSplitCounter());
}

TEST_F(SettingsFiles, AnExistingFileWithoutCounterStaysAsItIs) {
    storeSettings("[History]\nLoc=/x/\n");
    createSettingsFileIfMissing();
    EXPECT_EQ("' ' is not a valid integer value", counterError());
    EXPECT_THROW(AddToSplitCounter(1), ConversionError);
    EXPECT_EQ("[History]\nLoc=/x/\n", readFile(settingsFilePath()));
}

TEST_F(SettingsFiles, CounterTexts) {
    const struct {
        const char* stored;
        std::int32_t value;
        const char* error;
    } cases[] = {
        {"Number=  7", 7, ""},
        {"Number=\"  7\"", 7, ""},
        {"Number=7x", 0, "'7x' is not a valid integer value"},
        {"Number=seven", 0, "'seven' is not a valid integer value"},
        {"Number=", 0, "'' is not a valid integer value"},
        {"Number=$7FFFFFFF", 2147483647, ""},
        {"Number=2147483648", 0, "'2147483648' is not a valid integer value"},
        {"Number=-2147483648", -2147483647 - 1, ""},
        {"Number=0x10", 16, ""},
    };
    for (const auto& c : cases) {
        storeSettings("[Stat]\n" + std::string(c.stored) + "\n");
        EXPECT_EQ(c.error, counterError()) << c.stored;
        if (!*c.error) {
            EXPECT_EQ(c.value, ReadSplitCounter()) << c.stored;
        }
    }
}

TEST_F(SettingsFiles, AddingToTheCounterStopsAtItsLimits) {
    const struct {
        const char* stored;
        std::int32_t n;
        const char* after;
    } cases[] = {
        {"41", 1, "42"},
        {"2147483647", 1, "2147483647"},
        {"-2147483648", -1, "-2147483648"},
        {"$7FFFFFFF", 1, "2147483647"},
        {"0x10", 1, "17"},
    };
    for (const auto& c : cases) {
        storeSettings("[History]\nLoc=/x/\n[Stat]\nNumber=" + std::string(c.stored) + "\n");
        AddToSplitCounter(c.n);
        EXPECT_EQ("[History]\nLoc=/x/\n[Stat]\nNumber=" + std::string(c.after) + "\n",
                  readFile(settingsFilePath()));
    }
}

TEST_F(SettingsFiles, LayoutSizes) {
    EXPECT_EQ(0, ReadLayoutWidth("frmsplit", layoutFilePath()));
    WriteLayoutSize(0, 600, "frmsplit", layoutFilePath());
    EXPECT_EQ("[frmsplit]\r\nW=0\r\nH=600\r\n", readFile(layoutFilePath()));
    EXPECT_EQ(0, ReadLayoutWidth("frmsplit", layoutFilePath()));
    EXPECT_EQ(600, ReadLayoutHeight("frmsplit", layoutFilePath()));

    writeFile(layoutFilePath(), "[frmstats]\nW=abc\nH=0x280\n");
    EXPECT_EQ(0, ReadLayoutWidth("frmstats", layoutFilePath()));
    EXPECT_EQ(640, ReadLayoutHeight("frmstats", layoutFilePath()));
}

TEST_F(SettingsFiles, OutputFolderIsTrimmedButLastDirIsNot) {
    storeSettings("[History]\nLoc=\" \t/out/\x01 \"\n");
    EXPECT_EQ("/out/", readOutputFolder());
    writeOutputFolder("/tmp/caf\xC3\xA9");
    EXPECT_EQ("/tmp/caf\xC3\xA9", readOutputFolder());
    writeLastDir(" /d/ ");
    EXPECT_EQ(" /d/ ", readLastDir());
    EXPECT_EQ("/tmp/caf\xC3\xA9", readOutputFolder());
}

TEST_F(SettingsFiles, AnOutputFolderThatFillsWhatTheReaderTakesIsRefused) {
    storeSettings("[History]\nLoc=/" + std::string(2045, 'd') + "/\n");
    EXPECT_THROW(readOutputFolder(), IoError);
}

TEST_F(SettingsFiles, SplitsFinishingTogetherAllCount) {
    createSettingsFileIfMissing();
    const auto addTwentyFive = [] {
        for (int add = 0; add < 25; ++add)
            AddToSplitCounter(1);
        return 0;
    };
    std::vector<std::future<int>> writers;
    for (int i = 0; i < 4; ++i)
        writers.push_back(std::async(std::launch::async, runInChild, addTwentyFive));
    for (std::future<int>& writer : writers)
        EXPECT_EQ(0, writer.get());
    EXPECT_EQ(100, ReadSplitCounter());
}

TEST_F(SettingsFiles, StartingAgainFollowsANewConfigurationFolder) {
    TempFolder other;
    useConfigFolder(other.path());
    initLayoutPath();
    initSettingsPath();
    EXPECT_EQ(other.file("orvanto/quorel20.ini"), settingsFilePath());
    EXPECT_EQ(other.file("orvanto/VU_2.ini"), layoutFilePath());
}
