#include <QDialog>
#include <QListWidget>
#include <QPrinterInfo>

#include "MainWindowFixture.h"
#include "ModalDriver.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "ui/NativeText.h"
#include "ui/PrinterTextDevice.h"
#include "ui/SettingsDialog.h"
#include "ui/StatisticsWindow.h"
#include "ui/TextDevice.h"

namespace {

struct Opened {
    QString title;
    bool ownedByMainWindow = false;
    bool modal = false;
};

class DialogsTest : public MainWindowTest {
protected:
    // Clicks a main window button and closes the modal window it opens with that window's
    // button.
    Opened clickAndClose(const char* button, const char* closeButton) {
        Opened opened;
        ModalDriver driver([&](QDialog& dialog) {
            opened = {dialog.windowTitle(), dialog.parent() == m_window.get(), dialog.isModal()};
            clickAndExpectClosed(dialog, closeButton);
        });
        click(button);
        EXPECT_TRUE(driver.acted()) << button << " opened no window";
        return opened;
    }
};

TEST_F(DialogsTest, SettingsAndStatisticsOpenModallyOwnedByTheMainWindowAndGoWhenClosed) {
    openWindow();
    for (const auto& [button, title] :
         {std::pair<const char*, const char*>{"settingsButton", "Settings"},
          {"statisticsButton", "Your Statistics"}}) {
        const Opened opened = clickAndClose(button, "okButton");
        EXPECT_EQ(opened.title, title);
        EXPECT_TRUE(opened.ownedByMainWindow) << title;
        EXPECT_TRUE(opened.modal) << title;
    }
    EXPECT_TRUE(m_window->findChildren<QDialog*>().isEmpty());
    EXPECT_TRUE(m_prompts.shown.empty());
}

TEST_F(DialogsTest, BadCounterShowsTheConversionErrorInsteadOfTheStatistics) {
    openWindow();
    profile::writeString(m_settings.settingsFilePath(), "Stat", "Number", "7x");
    ModalDriver driver([](QDialog& dialog) { dialog.done(QDialog::Rejected); });
    click("statisticsButton");
    EXPECT_FALSE(driver.acted());
    EXPECT_EQ(shown("standardError"), std::vector<QString>{"'7x' is not a valid integer value."});
}

TEST_F(DialogsTest, PrintFolderStartsInTheDialogsFolderAndFillsTheFileListForPrinting) {
    writeFile(m_files.file("b.txt"), "");
    writeFile(m_files.file("A.txt"), "");
    openWindow();
    chooseFile(m_files.file("b.txt"));
    TempFolder output;
    setTextDeviceFactory([&](const QString& title) {
        return PrinterTextDevice::toPdfFile(fromNative(output.file("page.pdf")), title);
    });
    m_prompts.fileAnswers.push_back(fromNative(m_files.file("A.txt")));

    click("printButton");
    setTextDeviceFactory({});

    EXPECT_EQ(m_prompts.openFileFolders.back(), fromNative(m_files.path()));
    auto& fileListForPrinting = control<QListWidget>("fileListForPrinting");
    ASSERT_EQ(fileListForPrinting.count(), 2);
    EXPECT_EQ(fileListForPrinting.item(0)->text(), "A.txt");
    EXPECT_EQ(fileListForPrinting.item(1)->text(), "b.txt");
    EXPECT_TRUE(fileExists(output.file("page.pdf")));
    EXPECT_TRUE(shown("standardError").empty());
}

TEST_F(DialogsTest, PrintFolderWithoutAPrinterShowsTheErrorAndPrintsNothing) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a printer";
    writeFile(m_files.file("a.txt"), "");
    openWindow();
    m_prompts.fileAnswers.push_back(fromNative(m_files.file("a.txt")));

    click("printButton");

    EXPECT_EQ(shown("standardError"), std::vector<QString>{"No printer is installed."});
    EXPECT_EQ(control<QListWidget>("fileListForPrinting").count(), 0);
}

} // namespace
