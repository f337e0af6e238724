#include "settings/Settings.h"

#include <atomic>
#include <filesystem>
#include <future>
#include <optional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/FolderLock.h"
#include "platform/Interruption.h"
#include "settings/ConversionError.h"
#include "settings/SettingsFileError.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace settings;

namespace {

class SettingsFiles : public ::testing::Test {
protected:
    void storeSettings(const std::string& content) {
        writeFile(m_settings.settingsFilePath(), content);
    }

    // The text readSplitCounter fails to convert, or nullopt when it succeeds.
    std::optional<std::string> counterError() {
        try {
            m_settings.readSplitCounter();
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.target(), ConversionError::Target::Integer);
            return error.text();
        }
        return std::nullopt;
    }

    TempFolder m_folder;
    Settings m_settings{m_folder.path()};
};

} // namespace

TEST_F(SettingsFiles, BothFilesSitInTheConfigurationFolder) {
    EXPECT_EQ(m_folder.file("quorel20.ini"), m_settings.settingsFilePath());
    // The folder is made on request, with the folders above it.
    const Settings deeper(m_folder.file("deep/orvanto"));
    deeper.createFolder();
    deeper.writeLastDir("/d/");
    EXPECT_EQ("/d/", deeper.readLastDir());
}

TEST_F(SettingsFiles, FirstRunCreatesTheFileWithTheCounterOnly) {
    m_settings.createSettingsFileIfMissing();
    EXPECT_EQ("[Stat]\r\nNumber=0\r\n", readFile(m_settings.settingsFilePath()));
    EXPECT_EQ(0, m_settings.readSplitCounter());
    m_settings.addToSplitCounter(1);
    EXPECT_EQ(1, m_settings.readSplitCounter());
}

TEST_F(SettingsFiles, AnExistingFileWithoutCounterStaysAsItIs) {
    storeSettings("[History]\nLoc=/x/\n");
    m_settings.createSettingsFileIfMissing();
    EXPECT_EQ(" ", counterError());
    EXPECT_THROW(m_settings.addToSplitCounter(1), ConversionError);
    EXPECT_EQ("[History]\nLoc=/x/\n", readFile(m_settings.settingsFilePath()));
}

TEST_F(SettingsFiles, CounterTexts) {
    const struct {
        const char* stored;
        std::int32_t value;
        std::optional<std::string> badText;
    } cases[] = {
        {"Number=  7", 7, std::nullopt},
        {"Number=\"  7\"", 7, std::nullopt},
        {"Number=7x", 0, "7x"},
        {"Number=seven", 0, "seven"},
        {"Number=", 0, ""},
        {"Number=$7FFFFFFF", 2147483647, std::nullopt},
        {"Number=2147483648", 0, "2147483648"},
        {"Number=-2147483648", -2147483647 - 1, std::nullopt},
        {"Number=0x10", 16, std::nullopt},
    };
    for (const auto& c : cases) {
        storeSettings("[Stat]\n" + std::string(c.stored) + "\n");
        EXPECT_EQ(c.badText, counterError()) << c.stored;
        if (!c.badText) {
            EXPECT_EQ(c.value, m_settings.readSplitCounter()) << c.stored;
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
        m_settings.addToSplitCounter(c.n);
        EXPECT_EQ("[History]\nLoc=/x/\n[Stat]\nNumber=" + std::string(c.after) + "\n",
                  readFile(m_settings.settingsFilePath()));
    }
}

TEST_F(SettingsFiles, LayoutSizes) {
    EXPECT_EQ(0, m_settings.readLayoutWidth("frmsplit"));
    m_settings.writeLayoutSize(0, 600, "frmsplit", 178);
    EXPECT_EQ("[frmsplit]\r\nW=0\r\nH=600\r\nTextScale=178\r\n",
              readFile(m_folder.file("VU_2.ini")));
    EXPECT_EQ(0, m_settings.readLayoutWidth("frmsplit"));
    EXPECT_EQ(600, m_settings.readLayoutHeight("frmsplit"));

    writeFile(m_folder.file("VU_2.ini"), "[frmstats]\nW=abc\nH=0x280\n");
    EXPECT_EQ(0, m_settings.readLayoutWidth("frmstats"));
    EXPECT_EQ(640, m_settings.readLayoutHeight("frmstats"));
    EXPECT_EQ(100, m_settings.readLayoutTextScale("frmstats")) << "stored before the scale was";
}

TEST_F(SettingsFiles, OutputFolderIsTrimmedButLastDirIsNot) {
    storeSettings("[History]\nLoc=\" \t/out/\x01 \"\n");
    EXPECT_EQ("/out/", m_settings.readOutputFolder());
    m_settings.writeOutputFolder("/tmp/caf\xC3\xA9");
    EXPECT_EQ("/tmp/caf\xC3\xA9", m_settings.readOutputFolder());
    m_settings.writeLastDir(" /d/ ");
    EXPECT_EQ(" /d/ ", m_settings.readLastDir());
    EXPECT_EQ("/tmp/caf\xC3\xA9", m_settings.readOutputFolder());
}

TEST_F(SettingsFiles, AnOutputFolderThatFillsWhatTheReaderTakesIsRefused) {
    storeSettings("[History]\nLoc=/" + std::string(2045, 'd') + "/\n");
    EXPECT_THROW(m_settings.readOutputFolder(), SettingsFileError);
}

// Each writer starts as a first split does, where no settings file exists yet.
TEST_F(SettingsFiles, SplitsFinishingTogetherAllCount) {
    const auto addFive = [this] {
        m_settings.createSettingsFileIfMissing();
        for (int add = 0; add < 5; ++add)
            m_settings.addToSplitCounter(1);
        return 0;
    };
    // An update waits while another process holds the folder's lock, whatever the timing.
    int toHolder[2], fromHolder[2];
    ASSERT_EQ(::pipe(toHolder), 0);
    ASSERT_EQ(::pipe(fromHolder), 0);
    std::future<int> holder = std::async(std::launch::async, runInChild, [&] {
        const FolderLock lock(m_folder.path());
        char go = 0;
        return ::write(fromHolder[1], "!", 1) == 1 && ::read(toHolder[0], &go, 1) == 1 ? 0 : 1;
    });
    char ready = 0;
    ASSERT_EQ(::read(fromHolder[0], &ready, 1), 1);
    std::vector<std::future<int>> writers;
    writers.push_back(std::async(std::launch::async, runInChild, addFive));
    EXPECT_EQ(writers.back().wait_for(std::chrono::seconds(2)), std::future_status::timeout);
    EXPECT_EQ(::write(toHolder[1], "!", 1), 1);
    EXPECT_EQ(0, holder.get());
    for (const int fd : {toHolder[0], toHolder[1], fromHolder[0], fromHolder[1]})
        ::close(fd);
    for (int i = 0; i < 20; ++i)
        writers.push_back(std::async(std::launch::async, runInChild, addFive));
    for (std::future<int>& writer : writers)
        EXPECT_EQ(0, writer.get());
    EXPECT_EQ(105, m_settings.readSplitCounter());
}

TEST_F(SettingsFiles, NewSettingsBelongToTheOwnerOfTheirFolder) {
    if (geteuid() != 0)
        GTEST_SKIP() << "not root: settings that root makes in another user's folder not covered";
    handToOrdinaryUser(m_folder.path());
    const Settings settings(m_folder.file("new/orvanto"));
    settings.createFolder();
    settings.createSettingsFileIfMissing();
    settings.writeLayoutSize(1, 2, "frmsplit");
    for (const char* made : {"new", "new/orvanto", "new/orvanto/quorel20.ini",
                             "new/orvanto/VU_2.ini", "new/orvanto/.orvanto.lock"}) {
        struct stat info {};
        ASSERT_EQ(lstat(m_folder.file(made).c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_uid, kOrdinaryUserId) << made;
    }
    // The user's link must not send root's write elsewhere.
    const std::string elsewhere = m_folder.file("root-only.ini");
    ASSERT_EQ(::unlink(m_folder.file("new/orvanto/VU_2.ini").c_str()), 0);
    ASSERT_EQ(::symlink(elsewhere.c_str(), m_folder.file("new/orvanto/VU_2.ini").c_str()), 0);
    ASSERT_EQ(
        ::lchown(m_folder.file("new/orvanto/VU_2.ini").c_str(), kOrdinaryUserId, kOrdinaryUserId),
        0);
    EXPECT_THROW(settings.writeLayoutSize(1, 2, "frmsplit"), std::exception);
    EXPECT_FALSE(std::filesystem::exists(elsewhere));
}

TEST_F(SettingsFiles, EachObjectKeepsToItsOwnFolder) {
    TempFolder other;
    const Settings elsewhere(other.path());
    elsewhere.writeOutputFolder("/elsewhere/");
    EXPECT_EQ(other.file("quorel20.ini"), elsewhere.settingsFilePath());
    EXPECT_EQ("", m_settings.readOutputFolder());
}

// Stopped at logout while another program holds the lock: the failure names the lock.
TEST_F(SettingsFiles, AStopDuringTheLockWaitNamesTheLock) {
    const FolderLock held(m_folder.path());
    const std::atomic<bool> stop{true};
    const interruption::JobStopOnThisThread stopping(stop);
    try {
        m_settings.writeLayoutSize(500, 300, kMainWindowSection);
        ADD_FAILURE() << "written";
    } catch (const SettingsFileError& error) {
        EXPECT_EQ(error.kind(), SettingsFileError::Kind::LockWaitStopped);
        EXPECT_EQ(error.path(), m_settings.layoutFilePath());
        EXPECT_EQ(error.lockFile(), m_settings.lockFilePath());
    }
}
