#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "MainWindowFixture.h"
#include "ModalDriver.h"
#include "Version.h"
#include "platform/Paths.h"
#include "ui/AboutBox.h"
#include "ui/NativeText.h"

namespace {

using PagesTest = MainWindowTest;

const QString kBrowserFailure =
    "The help file could not be opened because your browser would not open. You can view this "
    "help file by opening your browser manually, and pointing it to";

TEST_F(PagesTest, APageThatCannotBeOpenedShowsItsBox) {
    struct Case {
        const char* button;
        const char* page;
        QString failure;
    };
    // The test program's folder holds no page, nor does the share folder beside it.
    const QString beside = fromNative(paths::programFolder());
    const QString shared =
        fromNative(
            paths::folderOf(paths::programFolder().substr(0, paths::programFolder().size() - 1))) +
        "share/orvanto/";
    const QString lookedIn =
        "\n\nOrvanto looks for %1 in " + beside + " and then in " + shared + ".";
    const Case cases[] = {
        {"helpButton", "help.htm",
         kBrowserFailure + " help.htm in the installed directory." + lookedIn.arg("help.htm")},
        {"moreSoftwareButton", "download.htm",
         "The product page could not be opened because your browser would not open. You can "
         "view the product page by opening your browser manually, and pointing it to "
         "https://www.orvanto.example/." +
             lookedIn.arg("download.htm")},
    };
    openWindow();
    m_prompts.openDocumentAnswer = false;
    for (const Case& c : cases) {
        m_prompts.shown.clear();
        click(c.button);
        EXPECT_EQ(m_prompts.openedDocuments.back(), fromNative(paths::programFolder() + c.page));
        EXPECT_EQ(shown("information"), std::vector<QString>{c.failure}) << c.button;
    }
}

TEST_F(PagesTest, APageThatOpensShowsNothing) {
    openWindow();
    click("helpButton");
    EXPECT_EQ(m_prompts.openedDocuments,
              std::vector<QString>{fromNative(paths::programFolder() + "help.htm")});
    EXPECT_TRUE(m_prompts.shown.empty());
}

TEST_F(PagesTest, ReturnOrEnterOnAFocusedButtonPressesIt) {
    openWindow();
    QApplication::setActiveWindow(m_window.get());
    const std::pair<const char*, Qt::Key> presses[] = {{"helpButton", Qt::Key_Return},
                                                       {"helpButton", Qt::Key_Enter},
                                                       {"exitButton", Qt::Key_Return}};
    for (const auto& [button, key] : presses) {
        control<QPushButton>(button).setFocus();
        ASSERT_EQ(QApplication::focusWidget(), &control<QPushButton>(button));
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    EXPECT_EQ(m_prompts.openedDocuments.size(), 2u); // Help, once for each key
    EXPECT_FALSE(m_window->isVisible());             // Exit
}

TEST(RealPromptsTest, AMissingPageIsAFailure) {
    TempFolder folder;
    EXPECT_FALSE(prompts().openDocument(fromNative(folder.file("help.htm"))));
}

// Pages open only with the program the desktop names for their type.
TEST(RealPromptsTest, TheDesktopIsAskedForItsProgramForAPage) {
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty())
        GTEST_SKIP() << "xdg-mime (xdg-utils) is not installed";
    TempFolder desktop;
    for (const char* list : {"XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
        setenv(list, desktop.path().c_str(), 1);
    EXPECT_EQ(desktopProgramFor("text/html"), QString());
    writeFile(desktop.file("mimeapps.list"), "[Default Applications]\ntext/html=web.desktop\n");
    paths::createFolders(desktop.file("applications/"));
    writeFile(desktop.file("applications/web.desktop"), "[Desktop Entry]\nExec=true %u\n");
    EXPECT_EQ(desktopProgramFor("text/html"), "web.desktop");
}

TEST_F(PagesTest, AboutShowsTheBorderlessBoxUntilReturn) {
    openWindow();
    QString version;
    QSize size;
    bool borderless = false;
    ModalDriver driver([&](QDialog& about) {
        version = about.findChild<QLabel*>("versionLabel")->text();
        size = about.size();
        borderless = about.windowFlags().testFlag(Qt::FramelessWindowHint);
        clickAndExpectClosed(about, "returnButton");
    });
    click("aboutButton");
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(version,
              "Orvanto version " ORVANTO_VERSION ", free software under the GPL-3.0-or-later");
    EXPECT_EQ(size, QSize(559, 336));
    EXPECT_TRUE(borderless);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
