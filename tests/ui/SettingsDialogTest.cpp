#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include <QCoreApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "FreshConfig.h"
#include "ModalDriver.h"
#include "RefusedWrites.h"
#include "engine/SplitJob.h"
#include "engine/SplitRequest.h"
#include "platform/Paths.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "support/TempFolder.h"
#include "ui/SettingsDialog.h"

namespace {

const std::string kUnset = "<unset>";

std::string storedLoc(const settings::Settings& settings) {
    return profile::readString(settings.settingsFilePath(), "History", "Loc", kUnset);
}

QString locationShown(QDialog& dialog) {
    const QLabel* label = dialog.findChild<QLabel*>("outputFolderLabel");
    EXPECT_EQ(label->accessibleName(), label->text()) << "spoken first, whole";
    return label->text();
}

class SettingsDialogTest : public ::testing::Test {
protected:
    // Opens the dialog for real and runs action on it while it is shown.
    void runDialog(const std::function<void(QDialog&)>& action) {
        ModalDriver driver(action);
        showSettingsDialog(nullptr, config.settings());
        ASSERT_TRUE(driver.acted());
    }

    // Opens the dialog, reads the folder it shows and closes it with Ok.
    QString locationShownThenOk() {
        QString shown;
        runDialog([&](QDialog& dialog) {
            shown = locationShown(dialog);
            clickAndExpectClosed(dialog, "okButton");
        });
        return shown;
    }

    // Makes folder name, gives it as the Change Folder dialog's answer, clicks Change Folder
    // and then closes the dialog with close.
    void changeFolderTo(const std::string& name, const std::function<void(QDialog&)>& close) {
        std::filesystem::create_directory(folder.path() + name);
        prompts.folderAnswers = {QString::fromStdString(folder.path() + name)};
        runDialog([&](QDialog& dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton*>("changeFolderButton"), Qt::LeftButton);
            close(dialog);
        });
    }

    FreshConfig config;
    FakePrompts prompts;
    TempFolder folder;
};

TEST_F(SettingsDialogTest, NothingStoredShowsPlaceholderAndOkWritesNoFolder) {
    EXPECT_EQ(locationShownThenOk(), "No Default Folder Selected Yet");
    EXPECT_EQ(storedLoc(config.settings()), kUnset);
}

TEST_F(SettingsDialogTest, StoredFolderIsShownAndWrittenBackWithoutSurroundingBlanks) {
    writeFile(config.settings().settingsFilePath(),
              "[Stat]\r\nNumber=0\r\n[History]\r\nLoc=\"  " + folder.path() + "  \"\r\n");
    EXPECT_EQ(locationShownThenOk().toStdString(), folder.path());
    EXPECT_NE(
        readFile(config.settings().settingsFilePath()).find("\r\nLoc=" + folder.path() + "\r\n"),
        std::string::npos);
}

TEST_F(SettingsDialogTest, AStoredFolderTooLongToReadIsReportedAndTheDialogOpens) {
    config.settings().writeOutputFolder("/" + std::string(3000, 'd') + "/");
    EXPECT_EQ(locationShownThenOk(), "No Default Folder Selected Yet");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text.toStdString(), "The output folder stored in " +
                                                       config.settings().settingsFilePath() +
                                                       " is too long.");
}

TEST_F(SettingsDialogTest, FolderThatNoLongerExistsIsShownAndNotStored) {
    const std::string gone = folder.path() + "gone/";
    config.settings().writeOutputFolder(gone);
    const std::string before = readFile(config.settings().settingsFilePath());
    EXPECT_EQ(locationShownThenOk().toStdString(), gone);
    EXPECT_EQ(readFile(config.settings().settingsFilePath()), before);
}

TEST_F(SettingsDialogTest, ChangeFolderShowsTheFolderWithTrailingSlashOkStoresItAndSplitsGoThere) {
    QString shown;
    changeFolderTo("out", [&](QDialog& dialog) {
        shown = locationShown(dialog);
        clickAndExpectClosed(dialog, "okButton");
    });
    EXPECT_EQ(shown.toStdString(), folder.path() + "out/");
    EXPECT_EQ(storedLoc(config.settings()), folder.path() + "out/");

    // The next split writes into the folder chosen.
    const std::string source = folder.file("movie.avi");
    writePatternFile(source, 250000);
    EXPECT_TRUE(std::holds_alternative<SplitCompletion>(
        SplitJob({source, 250000, 100000, config.settings().readOutputFolder()}).run()));

    for (const char* name : {"movie.1", "movie.2", "movie.3", "movie.bat"})
        EXPECT_TRUE(fileExists(folder.path() + "out/" + name)) << name;
    EXPECT_FALSE(fileExists(folder.file("movie.1")));
}

TEST_F(SettingsDialogTest, RefusedWritesAreShownAndOkStillCloses) {
    config.settings().writeOutputFolder(folder.path());
    changeFolderTo("other", [](QDialog& dialog) {
        RefusedWrites refused;
        clickAndExpectClosed(dialog, "okButton");
    });
    EXPECT_EQ(storedLoc(config.settings()), folder.path());
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].kind, "standardError");
    EXPECT_EQ(prompts.shown[0].text.toStdString(),
              "Unable to write to " + config.settings().settingsFilePath() + ".");
    EXPECT_EQ(prompts.shown[1].kind, "standardError");
    EXPECT_EQ(prompts.shown[1].text.toStdString(),
              "Unable to write to " + paths::folderOf(config.settings().settingsFilePath()) +
                  "VU_2.ini.");
}

TEST_F(SettingsDialogTest, CloseBoxDiscardsAChangedFolder) {
    config.settings().writeOutputFolder(folder.path());
    changeFolderTo("other", closeByCloseBox);
    EXPECT_EQ(storedLoc(config.settings()), folder.path());
}

TEST_F(SettingsDialogTest, EnterClicksChangeFolderWhileItHasTheFocusAndOkOtherwise) {
    bool openedOnChangeFolder = false;
    runDialog([&](QDialog& dialog) {
        auto* changeFolder = dialog.findChild<QPushButton*>("changeFolderButton");
        openedOnChangeFolder = dialog.focusWidget() == changeFolder;
        QTest::keyClick(changeFolder, Qt::Key_Return);
        QFocusEvent focusLeaves(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(changeFolder, &focusLeaves);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible()) << "Enter did not click Ok";
        if (dialog.isVisible())
            dialog.done(QDialog::Rejected);
    });
    EXPECT_TRUE(openedOnChangeFolder);
    EXPECT_EQ(prompts.chooseFolderFolders.size(), 1u);
}

struct CloseWay {
    const char* name;
    std::function<void(QDialog&)> close;
};

void PrintTo(const CloseWay& way, std::ostream* out) {
    *out << way.name;
}

class SettingsDialogSizeTest : public SettingsDialogTest,
                               public ::testing::WithParamInterface<CloseWay> {};

TEST_P(SettingsDialogSizeTest, SizeIsSavedOnCloseAndRestoredAtNextOpening) {
    QSize designSize;
    runDialog([&](QDialog& dialog) {
        designSize = dialog.size();
        dialog.resize(520, 240);
        GetParam().close(dialog);
    });
    EXPECT_EQ(designSize, QSize(441, 187));
    EXPECT_EQ(config.settings().readLayoutWidth("frmsettings"), 520);
    EXPECT_EQ(config.settings().readLayoutHeight("frmsettings"), 240);

    QSize reopenedSize;
    runDialog([&](QDialog& dialog) {
        reopenedSize = dialog.size();
        closeByCloseBox(dialog);
    });
    EXPECT_EQ(reopenedSize, QSize(520, 240));
}

INSTANTIATE_TEST_SUITE_P(
    CloseWays, SettingsDialogSizeTest,
    ::testing::Values(CloseWay{"Ok", [](QDialog& d) { clickAndExpectClosed(d, "okButton"); }},
                      CloseWay{"CloseBox", closeByCloseBox}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
