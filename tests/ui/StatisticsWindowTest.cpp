#include <cstdint>
#include <map>
#include <ostream>
#include <string>

#include <QDialog>
#include <QLabel>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "FreshConfig.h"
#include "ModalDriver.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "support/TempFolder.h"
#include "ui/HandlerGuard.h"
#include "ui/StatisticsWindow.h"

namespace {

using LabelTexts = std::map<std::string, QString>;

const char* const kLabels[] = {"totalMemoryLabel", "availableMemoryLabel", "memoryPercentLabel",
                               "totalSwapLabel",   "availableSwapLabel",   "swapPercentLabel",
                               "splitCountLabel",  "splitCountCaption"};

LabelTexts labelTexts(QDialog& window) {
    LabelTexts texts;
    for (const char* name : kLabels)
        texts[name] = window.findChild<QLabel*>(name)->text();
    return texts;
}

class StatisticsWindowTest : public ::testing::Test {
protected:
    // 512 MiB of memory, half of it available, and no swap unless a test gives other figures.
    void SetUp() override { giveMemInfo(524288, 262144, 0, 0); }

    void giveMemInfo(std::uint64_t totalKb, std::uint64_t availableKb, std::uint64_t swapKb,
                     std::uint64_t swapFreeKb) {
        writeFile(memInfo,
                  "MemTotal:       " + std::to_string(totalKb) +
                      " kB\nMemFree:         1024 kB\nMemAvailable:   " +
                      std::to_string(availableKb) + " kB\nBuffers:           0 kB\n" +
                      "SwapCached:         0 kB\nSwapTotal:      " + std::to_string(swapKb) +
                      " kB\nSwapFree:       " + std::to_string(swapFreeKb) + " kB\n");
    }

    void showWindow() { showStatisticsWindow(nullptr, config.settings(), memInfo); }

    // Opens the window for real, reads its labels and closes it with OK.
    LabelTexts openAndRead() {
        LabelTexts texts;
        ModalDriver driver([&](QDialog& window) {
            texts = labelTexts(window);
            clickAndExpectClosed(window, "okButton");
        });
        showWindow();
        EXPECT_TRUE(driver.acted());
        return texts;
    }

    FreshConfig config;
    FakePrompts prompts;
    TempFolder folder;
    std::string memInfo = folder.file("meminfo");
};

TEST_F(StatisticsWindowTest, ShowsMemoryFiguresAndPercentagesOfAFreshStart) {
    const LabelTexts texts = openAndRead();
    EXPECT_EQ(texts.at("totalMemoryLabel"), "Total RAM memory on your system = 536870912");
    EXPECT_EQ(texts.at("availableMemoryLabel"), "RAM memory currently available  = 268435456");
    EXPECT_EQ(texts.at("memoryPercentLabel"), "Percentage of RAM memory available = 50%");
    EXPECT_EQ(texts.at("totalSwapLabel"), "Maximum storage in swap file = 0");
    EXPECT_EQ(texts.at("availableSwapLabel"), "Available swap file space = 0");
    EXPECT_EQ(texts.at("swapPercentLabel"), "Percentage of swap file available  = 0%");
    EXPECT_EQ(texts.at("splitCountLabel"), "The total number of files that you have split -> 0");
    EXPECT_EQ(texts.at("splitCountCaption"), "Total Number of Files You Have Split");
}

TEST_F(StatisticsWindowTest, ShowsFiguresAboveFourGibibytesInFull) {
    giveMemInfo(16777216, 4194304, 8388608, 8388608);
    const LabelTexts texts = openAndRead();
    EXPECT_EQ(texts.at("totalMemoryLabel"), "Total RAM memory on your system = 17179869184");
    EXPECT_EQ(texts.at("availableMemoryLabel"), "RAM memory currently available  = 4294967296");
    EXPECT_EQ(texts.at("memoryPercentLabel"), "Percentage of RAM memory available = 25%");
    EXPECT_EQ(texts.at("totalSwapLabel"), "Maximum storage in swap file = 8589934592");
    EXPECT_EQ(texts.at("swapPercentLabel"), "Percentage of swap file available  = 100%");
}

TEST_F(StatisticsWindowTest, ShowsTheCounterAfterThreeSplits) {
    for (int split = 0; split < 3; ++split)
        config.settings().addToSplitCounter(1);
    EXPECT_EQ(openAndRead().at("splitCountLabel"),
              "The total number of files that you have split -> 3");
    StatisticsWindow window(nullptr, config.settings());
    window.showSplitCounter(3);
    EXPECT_EQ(window.findChild<QLabel*>("splitCountLabel")->accessibleName(),
              "The total number of files that you have split: 3");
}

TEST_F(StatisticsWindowTest, BadCounterShowsTheConversionErrorAndNoWindow) {
    profile::writeString(config.settings().settingsFilePath(), "Stat", "Number", "seven");
    ModalDriver driver([](QDialog& window) { window.done(QDialog::Rejected); });
    runHandler(nullptr, [this] { showWindow(); });
    EXPECT_FALSE(driver.acted());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, "standardError");
    EXPECT_EQ(prompts.shown[0].text, "'seven' is not a valid integer value.");
    // A window never shown leaves no size behind.
    EXPECT_EQ(config.settings().readLayoutWidth("frmstats"), 0);
}

TEST_F(StatisticsWindowTest, SizeIsSavedWhenClosedByTheCloseBoxAndRestoredAtNextOpening) {
    QSize designSize;
    ModalDriver resizeAndClose([&](QDialog& window) {
        designSize = window.size();
        window.resize(480, 400);
        closeByCloseBox(window);
    });
    showWindow();
    EXPECT_EQ(designSize, QSize(436, 340));
    EXPECT_EQ(config.settings().readLayoutWidth("frmstats"), 480);
    EXPECT_EQ(config.settings().readLayoutHeight("frmstats"), 400);

    QSize reopenedSize;
    ModalDriver readSize([&](QDialog& window) {
        reopenedSize = window.size();
        clickAndExpectClosed(window, "okButton");
    });
    showWindow();
    EXPECT_EQ(reopenedSize, QSize(480, 400));
}

struct PercentCase {
    std::uint64_t available;
    std::uint64_t total;
    std::uint64_t percent;
};

void PrintTo(const PercentCase& c, std::ostream* out) {
    *out << c.available << " of " << c.total;
}

class PercentAvailableTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentAvailableTest, DividesByTheTotalsWholeHundredths) {
    EXPECT_EQ(percentAvailable(GetParam().available, GetParam().total), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Cases, PercentAvailableTest,
                         ::testing::Values(PercentCase{268435456, 536870912, 50},
                                           PercentCase{333, 1000, 33}, PercentCase{1000, 1099, 100},
                                           PercentCase{0, 0, 0}, PercentCase{50, 99, 0},
                                           PercentCase{8589934592, 17179869184, 50}));

} // namespace
