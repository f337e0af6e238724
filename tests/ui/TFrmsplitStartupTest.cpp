#include <filesystem>

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "MainWindowFixture.h"
#include "engine/SizeCatalogue.h"
#include "settings/Settings.h"

namespace {

using StartupTest = MainWindowTest;

TEST_F(StartupTest, OpensWithNoFileAndTheOnePointFourMegPreset) {
    openWindow();
    EXPECT_EQ(m_window->size(), QSize(500, 439));
    EXPECT_EQ(m_window->windowTitle(), "Orvanto");
    EXPECT_FALSE(control<QLabel>("Lblliteral").isVisible());
    EXPECT_FALSE(control<QLabel>("Lblsizecaption").isVisible());
    EXPECT_FALSE(control<QLabel>("LblComplete").isVisible());
    EXPECT_FALSE(control<QLabel>("Image2").isVisible());
    EXPECT_FALSE(control<QListWidget>("ListBox2").isVisible());
    EXPECT_TRUE(control<QLabel>("Image1").isVisible());
    EXPECT_TRUE(control<QLabel>("LblFile").text().isEmpty());
    EXPECT_TRUE(control<QLabel>("Lblsize").text().isEmpty());
    EXPECT_TRUE(control<QRadioButton>("Rad14Meg").isChecked());
    EXPECT_EQ(control<QLabel>("Lblbytes").text(), "1.4 Megabytes");

    const auto& list = control<QListWidget>("ListBox1");
    ASSERT_EQ(list.count(), 1786);
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(list.item(285)->text(), "6000k");
    EXPECT_EQ(list.item(1785)->text(), "6006 Megabytes");
    // Selecting entry 0 at start-up is not a user's click: no reminder.
    EXPECT_TRUE(m_prompts.shown.empty());
}

TEST_F(StartupTest, EveryPresetHasItsButtonWithItsCaption) {
    openWindow();
    for (const size_catalogue::Preset& preset : size_catalogue::presets())
        EXPECT_EQ(control<QRadioButton>(preset.control).text(), preset.caption) << preset.control;
}

TEST_F(StartupTest, ShowsItsPictures) {
    openWindow();
    EXPECT_FALSE(m_window->windowIcon().isNull());
    EXPECT_FALSE(control<QLabel>("Image1").pixmap().isNull());
    EXPECT_EQ(control<QLabel>("Image2").pixmap().toImage(),
              control<QLabel>("Image1").pixmap().toImage());
    for (const char* button : {"Cmdselect", "Cmdcreate", "Cmdprint", "Cmdstats"})
        EXPECT_FALSE(control<QPushButton>(button).icon().isNull()) << button;
}

TEST_F(StartupTest, CreatesTheSettingsFileWithTheCounterAtZero) {
    openWindow();
    EXPECT_EQ(readFile(m_config.path() + "orvanto/quorel20.ini"), "[Stat]\r\nNumber=0\r\n");
}

TEST_F(StartupTest, RestoresTheStoredSizeOneDimensionAtATime) {
    struct Case {
        int storedWidth, storedHeight;
        QSize expected;
    };
    const Case cases[] = {{0, 0, {500, 439}},
                          {640, 0, {640, 439}},
                          {0, 600, {500, 600}},
                          {640, 480, {640, 480}},
                          // A negative size would leave no window to see, a larger one than
                          // the screen one that cannot be painted.
                          {-5, -1, {500, 439}},
                          {100000, 100000, QGuiApplication::primaryScreen()->availableSize()}};
    for (const Case& c : cases) {
        settings::initLayoutPath();
        settings::WriteLayoutSize(c.storedWidth, c.storedHeight, "frmsplit",
                                  settings::layoutFilePath());
        openWindow();
        EXPECT_EQ(m_window->size(), c.expected) << c.storedWidth << "x" << c.storedHeight;
    }
}

TEST_F(StartupTest, SavesItsSizeOnCloseForTheNextStart) {
    openWindow().resize(620, 470);
    click("Cmdcancel");
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(settings::ReadLayoutWidth("frmsplit", settings::layoutFilePath()), 620);
    EXPECT_EQ(settings::ReadLayoutHeight("frmsplit", settings::layoutFilePath()), 470);

    openWindow();
    EXPECT_EQ(m_window->size(), QSize(620, 470));
}

TEST_F(StartupTest, ARefusedSizeWriteIsShownOnceAndTheWindowClosesAnyway) {
    openWindow();
    // A folder where the layout file should be cannot be replaced by the file.
    std::filesystem::create_directory(settings::layoutFilePath());
    m_window->close();
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(shown("standardError").size(), 1u);
}

TEST_F(StartupTest, OpensUsableWhenTheConfigurationFolderCannotBeMade) {
    writeFile(m_config.file("orvanto"), ""); // a file where the folder should be
    openWindow();
    EXPECT_EQ(shown("standardError").size(), 1u);
    EXPECT_EQ(control<QLabel>("Lblbytes").text(), "1.4 Megabytes");
    EXPECT_EQ(control<QListWidget>("ListBox1").count(), 1786);
    EXPECT_FALSE(fileExists("quorel20.ini"));

    // Later writes still name the file they could not write.
    writeFile(m_config.file("movie.avi"), "data");
    chooseFile(m_config.file("movie.avi"));
    const std::vector<QString> errors = shown("standardError");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors.back().toStdString(),
              "Unable to write to " + m_config.path() + "orvanto/quorel20.ini.");
}

} // namespace
