#include <cmath>
#include <filesystem>
#include <set>

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include "MainWindowFixture.h"
#include "engine/SizeCatalogue.h"
#include "settings/Settings.h"
#include "ui/NativeText.h"

namespace {

using SelectionTest = MainWindowTest;

const QString kReminder = "Remember to click the customized button on the left. The customized "
                          "size is only used when the \"customized\" button is selected";

// Drags and drops urls proposing Move (Shift); returns the action taken, IgnoreAction if none.
Qt::DropAction dropUrls(QWidget& window, const QList<QUrl>& urls,
                        Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at(250, 30);
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&window, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// "1.4 Meg Files" names 1,400,000 bytes, "100k Files" 100,000.
std::int64_t bytesNamedBy(const QString& caption) {
    const QString number = caption.section(QRegularExpression("k? "), 0, 0);
    return std::llround(number.toDouble() * (caption.contains("k ") ? 1e3 : 1e6));
}

TEST_F(SelectionTest, EachPresetShowsTheSizeItsCaptionNames) {
    openWindow();
    std::set<QString> labels;
    for (QRadioButton* button :
         m_window->findChildren<QRadioButton*>(QRegularExpression("^preset"))) {
        QTest::mouseClick(button, Qt::LeftButton);
        const QString label = control<QLabel>("splitSizeLabel").text();
        EXPECT_EQ(size_catalogue::sizeFromText(label.toStdString()), bytesNamedBy(button->text()))
            << button->text().toStdString();
        labels.insert(label);
    }
    EXPECT_EQ(labels.size(), size_catalogue::kPresetCount);
}

// Tab stops on the selected size choice; whatever moves the focus among them selects.
TEST_F(SelectionTest, TheSizeChoicesHaveTheFocusWhereTheSelectionIs) {
    openWindow();
    QApplication::setActiveWindow(m_window.get());
    control<QWidget>("selectButton").setFocus();
    const std::pair<const char*, const char*> steps[] = {
        {"Tab", "preset1Point4MegButton"}, {"Down", "preset2MegButton"},
        {"Up", "preset1Point4MegButton"},  {"Up", "preset1MegButton"},
        {"Shift+Tab", "selectButton"},     {"Tab", "preset1MegButton"},
        {"Alt+U", "customizeButton"},      {"Down", "preset100kButton"},
        {"Right", "preset500kButton"},     {"Left", "preset100kButton"},
        {"Left", "customizeButton"},       {"Left", "preset4600MegButton"},
        {"Right", "customizeButton"},      {"Tab", "customizeList"}};
    for (const auto& [keys, focused] : steps) {
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys));
        ASSERT_EQ(QApplication::focusWidget()->objectName(), focused);
        const auto* choice = qobject_cast<QRadioButton*>(QApplication::focusWidget());
        EXPECT_TRUE(!choice || choice->isChecked()) << focused;
    }
    EXPECT_EQ(control<QLabel>("splitSizeLabel").text(), "300k"); // Customize, by the list's focus
}

TEST_F(SelectionTest,
       AListClickWithAPresetCheckedRemindsAKeyDoesNotAndTheEntryCountsOnceCustomizeIsChecked) {
    openWindow();
    clickListEntry(286);
    EXPECT_EQ(shown("information"), std::vector<QString>{kReminder});
    EXPECT_EQ(control<QLabel>("splitSizeLabel").text(), "1.4 Megabytes");

    click("customizeButton");
    EXPECT_EQ(control<QLabel>("splitSizeLabel").text(), "10 Megabytes");
    clickListEntry(1785);
    EXPECT_EQ(control<QLabel>("splitSizeLabel").text(), "6006 Megabytes");
    auto& list = control<QListWidget>("customizeList");
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(control<QLabel>("splitSizeLabel").text(), list.item(1784)->text());
    click("preset1MegButton");
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.currentRow(), 1783);
    EXPECT_EQ(shown("information").size(), 1u);
}

TEST_F(SelectionTest, ChoosingAFileShowsItAndRemembersItsFolderAndACancelKeepsIt) {
    const std::string source = m_files.file("movie.avi");
    writeFile(source, "12345");
    openWindow();
    chooseFile(source);

    EXPECT_EQ(control<QLabel>("fileLabel").text(), fromNative(source));
    EXPECT_EQ(control<QLabel>("fileSizeLabel").text(), "5");
    EXPECT_TRUE(control<QLabel>("fileCaption").isVisible());
    EXPECT_TRUE(control<QLabel>("fileSizeCaption").isVisible());
    EXPECT_FALSE(control<QLabel>("logoBeforeSelection").isVisible());
    EXPECT_TRUE(control<QLabel>("logoAfterSelection").isVisible());
    EXPECT_EQ(m_settings.readLastDir(), m_files.path());
    EXPECT_EQ(m_window->dialogFolder(), fromNative(m_files.path()));

    // Cancelling the next choice keeps the selection but hides the progress.
    control<QLabel>("progressLabel").show();
    click("selectButton"); // no answer queued: the dialog is cancelled
    EXPECT_FALSE(control<QLabel>("progressLabel").isVisible());
    EXPECT_EQ(control<QLabel>("fileLabel").text(), fromNative(source));
    EXPECT_EQ(control<QLabel>("fileSizeLabel").text(), "5");

    // The next start's dialogs open where the last file was chosen, the printout's too.
    openWindow();
    click("printButton");
    EXPECT_EQ(m_prompts.openFileFolders.back(), fromNative(m_files.path()));
    click("selectButton");
    EXPECT_EQ(m_prompts.openFileFolders.back(), fromNative(m_files.path()));
}

TEST_F(SelectionTest, AFileGivenAtStartIsSelectedAsIfChosenOrItsProblemShown) {
    writeFile(m_files.file("movie.avi"), "12345");
    writeFile(m_files.file("empty\x1B.avi"), ""); // the standard error box escapes its text
    const struct {
        std::string path;
        std::string box; // empty when the file is selected
    } cases[] = {
        {m_files.file("movie.avi"), ""},
        {m_files.file("missing.avi"),
         "Could not open " + m_files.file("missing.avi") + ": No such file or directory."},
        {m_files.path(), "Could not open " + m_files.path() + ": Is a directory."},
        {"/dev/null", "Could not open /dev/null: it is not a plain file."},
        {m_files.file("empty\x1B.avi"),
         "Could not split " + m_files.file("empty\\x1B.avi") + ": it is empty."},
    };
    for (const auto& c : cases) {
        m_prompts.shown.clear();
        openWindow().openWithFile(fromNative(c.path));
        const bool selected = c.box.empty();
        EXPECT_EQ(control<QLabel>("fileLabel").text(), selected ? fromNative(c.path) : QString())
            << c.path;
        EXPECT_EQ(control<QLabel>("fileSizeLabel").text(), selected ? "5" : "") << c.path;
        EXPECT_EQ(control<QLabel>("logoAfterSelection").isVisible(), selected) << c.path;
        EXPECT_EQ(shown("standardError"),
                  selected ? std::vector<QString>{} : std::vector<QString>{fromNative(c.box)});
    }
    EXPECT_EQ(m_settings.readLastDir(), m_files.path());
}

TEST_F(SelectionTest, AFileAboveFourGigabytesShowsAllItsDigits) {
    const std::string source = m_files.file("big.iso");
    writeFile(source, "");
    std::filesystem::resize_file(source, 5'000'000'000); // sparse: takes no disk space
    openWindow();
    chooseFile(source);
    EXPECT_EQ(control<QLabel>("fileSizeLabel").text(), "5000000000");
}

TEST_F(SelectionTest, AnUnreadableNameIsReportedAndStaysSelected) {
    openWindow();
    chooseFile(m_files.file("typed-name.avi"));
    EXPECT_EQ(shown("error"),
              std::vector<QString>{"A severe error has occurred, the file could not be read "});
    EXPECT_EQ(control<QLabel>("fileSizeLabel").text(), "unknown");
    EXPECT_EQ(control<QLabel>("fileLabel").text(), fromNative(m_files.file("typed-name.avi")));
    EXPECT_EQ(m_settings.readLastDir(), m_files.path());
}

// Qt gives U+FFFD for each byte of a name that is not UTF-8; the window still finds the file.
TEST_F(SelectionTest, ANameThatIsNotUtf8IsRefusedShowingItsBytes) {
    const std::string latin1 = m_files.file("caf\xE9.avi");
    writeFile(latin1, "12345");
    openWindow();
    chooseFile(latin1);
    dropUrls(*m_window, {QUrl::fromLocalFile(fromNative(latin1))});
    EXPECT_EQ(shown("information"),
              std::vector<QString>(2, "The file name caf\\xE9.avi is not UTF-8 text, so the rejoin "
                                      "script cannot name the file on Windows. Rename the file "
                                      "and then attempt the split again."));
    EXPECT_TRUE(control<QLabel>("fileLabel").text().isEmpty());
}

TEST_F(SelectionTest, ADroppedFileIsSelectedAsACopyButAFolderOrSeveralFilesAreNot) {
    const std::string first = m_files.file("a.bin");
    const std::string second = m_files.file("b.bin");
    writeFile(first, "123");
    writeFile(second, "1234");
    openWindow();

    dropUrls(*m_window, {QUrl::fromLocalFile(fromNative(m_files.path()))});
    dropUrls(*m_window,
             {QUrl::fromLocalFile(fromNative(first)), QUrl::fromLocalFile(fromNative(second))});
    EXPECT_EQ(dropUrls(*m_window, {QUrl::fromLocalFile(fromNative(second))}, Qt::MoveAction),
              Qt::IgnoreAction);
    EXPECT_TRUE(control<QLabel>("fileLabel").text().isEmpty());
    EXPECT_EQ(dropUrls(*m_window, {QUrl::fromLocalFile(fromNative(first))},
                       Qt::LinkAction | Qt::MoveAction),
              Qt::LinkAction);

    EXPECT_EQ(dropUrls(*m_window, {QUrl::fromLocalFile(fromNative(second))}), Qt::CopyAction);
    EXPECT_EQ(control<QLabel>("fileLabel").text(), fromNative(second));
    EXPECT_EQ(control<QLabel>("fileSizeLabel").text(), "4");
    EXPECT_EQ(m_settings.readLastDir(), m_files.path());
}

} // namespace
