#include <filesystem>

#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "MainWindowFixture.h"
#include "TextContrast.h"
#include "settings/Settings.h"
#include "ui/AboutBox.h"

namespace {

using StartupTest = MainWindowTest;

TEST_F(StartupTest, OpensWithNoFileAndTheOnePointFourMegPresetAndMakesTheSettingsFile) {
    openWindow();
    EXPECT_EQ(readFile(m_config.path() + "orvanto/quorel20.ini"), "[Stat]\r\nNumber=0\r\n");
    EXPECT_EQ(m_window->size(), QSize(500, 439));
    EXPECT_EQ(m_window->windowTitle(), "Orvanto");
    EXPECT_FALSE(control<QLabel>("fileCaption").isVisible());
    EXPECT_FALSE(control<QLabel>("fileSizeCaption").isVisible());
    EXPECT_FALSE(control<QLabel>("progressLabel").isVisible());
    EXPECT_FALSE(control<QLabel>("logoAfterSelection").isVisible());
    EXPECT_FALSE(control<QListWidget>("fileListForPrinting").isVisible());
    EXPECT_TRUE(control<QLabel>("logoBeforeSelection").isVisible());
    EXPECT_TRUE(control<QLabel>("fileLabel").text().isEmpty());
    EXPECT_TRUE(control<QLabel>("fileSizeLabel").text().isEmpty());
    EXPECT_TRUE(control<QRadioButton>("preset1Point4MegButton").isChecked());
    EXPECT_EQ(control<QLabel>("splitSizeLabel").text(), "1.4 Megabytes");

    const auto& list = control<QListWidget>("customizeList");
    ASSERT_EQ(list.count(), 1786);
    EXPECT_EQ(list.row(list.selectedItems().value(0)), 0);
    EXPECT_EQ(list.item(285)->text(), "6000k");
    EXPECT_EQ(list.item(1785)->text(), "6006 Megabytes");
    // Selecting entry 0 at start-up is not a user's click: no reminder.
    EXPECT_TRUE(m_prompts.shown.empty());
}

TEST_F(StartupTest, ShowsItsPictures) {
    openWindow();
    EXPECT_FALSE(m_window->windowIcon().isNull());
    EXPECT_FALSE(control<QLabel>("logoBeforeSelection").pixmap().isNull());
    EXPECT_EQ(control<QLabel>("logoAfterSelection").pixmap().toImage(),
              control<QLabel>("logoBeforeSelection").pixmap().toImage());
    for (const char* button : {"selectButton", "createButton", "printButton", "statisticsButton"})
        EXPECT_FALSE(control<QPushButton>(button).icon().isNull()) << button;
}

QPalette darkDesktopPalette() {
    QPalette dark(QColor(53, 53, 53), QColor(45, 45, 45));
    for (const auto role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        dark.setColor(role, QColor(238, 238, 238));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    return dark;
}

// Where a text is painted: the whole of a label, a radio button without its indicator, a push
// button's right half inside its frame (its icon sits left), a group box's title line.
QRect textArea(const QWidget& widget) {
    if (const auto* radio = qobject_cast<const QRadioButton*>(&widget)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        return radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
    }
    if (qobject_cast<const QPushButton*>(&widget))
        return QRect(widget.width() / 2, 3, widget.width() / 2 - 4, widget.height() - 6);
    if (qobject_cast<const QGroupBox*>(&widget))
        return QRect(0, 0, widget.width(), widget.fontMetrics().height());
    return widget.rect();
}

void expectReadableTexts(QWidget& window) {
    const QImage image = window.grab().toImage();
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const bool hasText =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QGroupBox*>(widget) ||
            (qobject_cast<QLabel*>(widget) && !static_cast<QLabel*>(widget)->text().isEmpty());
        if (!hasText || !widget->isVisible())
            continue;
        EXPECT_GE(paintedTextContrast(image, areaInWindow(window, *widget, textArea(*widget))), 4.5)
            << widget->objectName().toStdString();
    }
}

TEST_F(StartupTest, UnderADarkDesktopPaletteEveryTextStaysReadable) {
    const QPalette desktopPalette = QApplication::palette();
    QApplication::setPalette(darkDesktopPalette());
    writeFile(m_files.file("movie.avi"), "12345");
    openWindow();
    chooseFile(m_files.file("movie.avi"));
    control<QLabel>("progressLabel").setText("100 %  Done.");
    control<QLabel>("progressLabel").show();
    expectReadableTexts(*m_window);

    // The customize list: an entry, and the selected entry.
    auto& list = control<QListWidget>("customizeList");
    const QImage image = m_window->grab().toImage();
    for (int row : {0, 1})
        EXPECT_GE(paintedTextContrast(image, areaInWindow(*m_window, *list.viewport(),
                                                          list.visualItemRect(list.item(row)))),
                  4.5)
            << "customizeList row " << row;

    AboutBox about(m_window.get());
    about.show();
    expectReadableTexts(about);
    QApplication::setPalette(desktopPalette);
}

TEST_F(StartupTest, RestoresTheStoredSizeOneDimensionAtATime) {
    struct Case {
        int storedWidth, storedHeight;
        QSize expected;
        int storedTextScale = 100;
    };
    const Case cases[] = {{0, 0, {500, 439}},
                          {640, 0, {640, 439}},
                          {0, 600, {500, 600}},
                          {640, 480, {640, 480}},
                          // A negative size would leave no window to see, a larger one than
                          // the screen one that cannot be painted.
                          {-5, -1, {500, 439}},
                          {100000, 100000, QGuiApplication::primaryScreen()->availableSize()},
                          // Stored under a 16 pt desktop font, shown under 9 pt.
                          {890, 781, {500, 439}, 178},
                          {640, 480, {500, 439}, 89}};
    for (const Case& c : cases) {
        m_settings.createFolder();
        m_settings.writeLayoutSize(c.storedWidth, c.storedHeight, "frmsplit", c.storedTextScale);
        openWindow();
        EXPECT_EQ(m_window->size(), c.expected) << c.storedWidth << "x" << c.storedHeight;
    }
}

TEST_F(StartupTest, SavesItsSizeOnCloseForTheNextStart) {
    openWindow().resize(620, 470);
    click("exitButton");
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_settings.readLayoutWidth("frmsplit"), 620);
    EXPECT_EQ(m_settings.readLayoutHeight("frmsplit"), 470);

    openWindow();
    EXPECT_EQ(m_window->size(), QSize(620, 470));
}

TEST_F(StartupTest, ARefusedSizeWriteIsShownOnceAndTheWindowClosesAnyway) {
    openWindow();
    // A folder where the layout file should be cannot be replaced by the file.
    std::filesystem::create_directory(m_config.file("orvanto/VU_2.ini"));
    m_window->close();
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(shown("standardError").size(), 1u);
}

TEST_F(StartupTest, OpensUsableWhenTheConfigurationFolderCannotBeMade) {
    writeFile(m_config.file("orvanto"), ""); // a file where the folder should be
    openWindow();
    EXPECT_EQ(shown("standardError").size(), 1u);
    EXPECT_EQ(control<QLabel>("splitSizeLabel").text(), "1.4 Megabytes");
    EXPECT_EQ(control<QListWidget>("customizeList").count(), 1786);
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
