#include <chrono>
#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>

#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "engine/SplitJob.h"
#include "platform/FolderLock.h"
#include "settings/Settings.h"
#include "ui/NativeText.h"
#include "ui/TerminationSignals.h"

namespace {

// Holds the split job at one of its steps until the test lets it go on.
class StepGate {
public:
    explicit StepGate(long heldStep) : m_heldStep(heldStep) {}

    // On the job's thread, at each step.
    void step() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (++m_steps != m_heldStep)
            return;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_released; });
    }
    // False when the job ended without reaching the step.
    bool waitUntilHeld() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(60),
                                  [this] { return m_steps >= m_heldStep; });
    }
    void release() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    const long m_heldStep;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    long m_steps = 0;
    bool m_released = false;
};

class SplitTest : public MainWindowTest {
protected:
    // The window open with a movie.avi of size bytes chosen and 1 Megabyte pieces; returns the
    // movie's path.
    std::string readyToSplit(std::int64_t size) {
        const std::string source = m_files.file("movie.avi");
        writePatternFile(source, size);
        openWindow();
        chooseFile(source);
        click("preset1MegButton");
        return source;
    }

    // Clicks Create Split Files, runs check while the job is held at a step (the first piece
    // created by default), then lets the job go on and waits for the window to show its end.
    void createWhileChecking(const std::function<void()>& check, long heldStep = 1) {
        StepGate gate(heldStep);
        m_window->observeSplitSteps([&gate] { gate.step(); });
        click("createButton");
        m_ranDuringSplit = splitRunning();
        EXPECT_TRUE(gate.waitUntilHeld()) << "the job never reached step " << heldStep;
        check();
        gate.release();
        waitForSplitEnd();
        m_window->observeSplitSteps({});
    }

    // The controls stay locked as long as a split runs.
    bool splitRunning() { return !control<QWidget>("createButton").isEnabled(); }

    void waitForSplitEnd() {
        while (splitRunning())
            QTest::qWait(10);
    }

    std::vector<bool> lockedControlsEnabled() {
        std::vector<bool> enabled;
        for (const char* name : {"selectButton", "createButton", "settingsButton", "printButton",
                                 "statisticsButton", "aboutButton", "customizeButton",
                                 "preset100kButton", "preset4600MegButton", "customizeList"})
            enabled.push_back(control<QWidget>(name).isEnabled());
        return enabled;
    }

    const std::vector<bool> kAllEnabled = std::vector<bool>(10, true);
    const std::vector<bool> kAllDisabled = std::vector<bool>(10, false);
    bool m_ranDuringSplit = false;
};

TEST_F(SplitTest, SplitsAFileThroughTheWindow) {
    const std::string source = readyToSplit(650'000);
    click("customizeButton");
    clickListEntry(0); // "300k"
    // By the keyboard, after which the focus is back on the button.
    QApplication::setActiveWindow(m_window.get());
    control<QWidget>("createButton").setFocus();
    QTest::keyClick(&control<QWidget>("createButton"), Qt::Key_Space);
    waitForSplitEnd();
    EXPECT_EQ(QApplication::focusWidget(), &control<QWidget>("createButton"));

    EXPECT_EQ(readFile(m_files.file("movie.1")), readFile(source).substr(0, 300'000));
    EXPECT_EQ(readFile(m_files.file("movie.2")), readFile(source).substr(300'000, 300'000));
    EXPECT_EQ(readFile(m_files.file("movie.3")), readFile(source).substr(600'000));
    EXPECT_FALSE(fileExists(m_files.file("movie.4")));
    EXPECT_EQ(readFile(m_files.file("movie.bat")),
              "@ECHO OFF\r\nCopy /b \"movie.1\" + \"movie.2\" + \"movie.3\" \"movie.avi\"\r\n"
              "@ECHO movie.avi has been recreated for you.\r\n");
    EXPECT_TRUE(control<QLabel>("progressLabel").isVisible());
    EXPECT_EQ(control<QLabel>("progressLabel").text(), "100 %  Done.");
    const QString folder = fromNative(m_files.path());
    EXPECT_EQ(shown("information").back(),
              "Finished. Folder " + folder +
                  " contains the split file names which are movie.1, movie.2, etc., along with "
                  "program \"movie.bat\". There were 3 total files created. Simply run the program "
                  "\"movie.bat\" to recreate the original file.\n\nThe checksum file "
                  "\"movie.sha256\" beside them holds the SHA-256 of every piece and of the whole "
                  "file. On Linux, \"sha256sum --ignore-missing -c movie.sha256\" checks the "
                  "pieces before the file is recreated, and \"sha256sum -c movie.sha256\" checks "
                  "the file too once it is; on Windows, \"certutil -hashfile movie.avi SHA256\" "
                  "shows the recreated file's, "
                  "which must equal the last line of \"movie.sha256\".");
    EXPECT_EQ(m_settings.readSplitCounter(), 1);
    EXPECT_TRUE(shown("standardError").empty());
}

TEST_F(SplitTest, LocksTheSplitControlsWhileItRunsAndUnlocksThemAfter) {
    readyToSplit(3'000'000);
    EXPECT_EQ(control<QLabel>("progressLabel").accessibleName(), "Split progress") << "hidden";
    QApplication::setActiveWindow(m_window.get()); // the click gives Create the focus
    std::vector<bool> enabledDuringSplit;
    QString progressName;
    QWidget* focused = nullptr;
    createWhileChecking([&] {
        enabledDuringSplit = lockedControlsEnabled();
        progressName = control<QLabel>("progressLabel").accessibleName();
        focused = QApplication::focusWidget();
    });
    EXPECT_EQ(progressName, "Split progress") << "before its first figure, not its frame's title";
    EXPECT_EQ(focused, &control<QWidget>("progressLabel")) << "not a button that Enter presses";

    EXPECT_TRUE(m_ranDuringSplit);
    EXPECT_EQ(enabledDuringSplit, kAllDisabled);
    EXPECT_EQ(lockedControlsEnabled(), kAllEnabled);
    EXPECT_TRUE(fileExists(m_files.file("movie.bat")));
}

TEST_F(SplitTest, AFailedSplitUnlocksTheControlsAndHidesItsProgress) {
    // The output folder goes away while the first piece is written.
    const std::string output = m_files.file("output") + "/";
    std::filesystem::create_directory(output);
    m_settings.createFolder();
    m_settings.createSettingsFileIfMissing();
    m_settings.writeOutputFolder(output);
    readyToSplit(3'000'000);
    createWhileChecking([&] { std::filesystem::remove_all(output); });

    EXPECT_TRUE(m_ranDuringSplit);
    ASSERT_EQ(shown("standardError").size(), 1u);
    EXPECT_EQ(shown("standardError")[0].toStdString(),
              "Could not create " + output +
                  "movie.2: No such file or directory. The split files written so far have been "
                  "removed.");
    EXPECT_FALSE(control<QLabel>("progressLabel").isVisible());
    EXPECT_EQ(lockedControlsEnabled(), kAllEnabled);

    // Failing just before the session ends, the split is not counted either.
    std::filesystem::create_directory(output);
    readyToSplit(3'000'000);
    StepGate gate(2); // the first piece's one block
    m_window->observeSplitSteps([&gate] { gate.step(); });
    click("createButton");
    EXPECT_TRUE(gate.waitUntilHeld());
    writeFile(output + "movie.2", "");
    gate.release();
    while (fileExists(output + "movie.1"))
        usleep(1000);
    m_window->closeAtSessionEnd();
    waitForSplitEnd();
    EXPECT_EQ(m_settings.readSplitCounter(), 0);
}

TEST_F(SplitTest, ClosingDuringASplitStopsItRemovesWhatItWroteAndThenCloses) {
    readyToSplit(3'000'000);
    createWhileChecking([this] { m_window->close(); });

    EXPECT_TRUE(m_ranDuringSplit);
    EXPECT_EQ(shown("askYesNo"), std::vector<QString>{"Stop the split in progress?"});
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_FALSE(fileExists(m_files.file("movie.1")));
    EXPECT_FALSE(fileExists(m_files.file("movie.bat")));
    EXPECT_EQ(m_settings.readSplitCounter(), 0);
    EXPECT_EQ(m_settings.readLayoutWidth("frmsplit"), 500);
}

// Another program's lock on the settings holds neither the window's start nor, for long, its
// count; a counter that cannot be used is found before anything is written.
TEST_F(SplitTest, ALockedOrBadCounterHoldsNeitherTheWindowNorLeavesFilesInTheWay) {
    const std::string config = m_config.file("orvanto/");
    m_settings.createFolder();
    std::optional<FolderLock> held(std::in_place, config);
    const auto start = std::chrono::steady_clock::now();
    openWindow();
    writePatternFile(m_files.file("movie.avi"), 250'000);
    chooseFile(m_files.file("movie.avi"));
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_LT(std::chrono::steady_clock::now() - start, settings::kLockWait / 2);
    EXPECT_EQ(m_settings.readLastDir(), "") << "saved while another program held the lock";
    held.reset();
    chooseFile(m_files.file("movie.avi"));
    click("preset100kButton");
    EXPECT_EQ(m_settings.readSplitCounter(), 0) << "made with the counter by a later write";

    const std::string lockFile = config + ".orvanto.lock";
    const std::vector<std::pair<std::string, std::string>> refusedCounters = {
        {"", "Could not lock " + lockFile + ": another Orvanto program holds it."}};
    for (const auto& [settingsFile, refusal] : refusedCounters) {
        std::filesystem::remove(m_settings.settingsFilePath());
        if (!settingsFile.empty())
            writeFile(m_settings.settingsFilePath(), settingsFile);
        held.emplace(config);
        click("createButton");
        held.reset();
        EXPECT_EQ(shown("standardError").back().toStdString(), refusal);
        EXPECT_FALSE(splitRunning());
        EXPECT_FALSE(fileExists(m_files.file("movie.1")));
    }

    writeFile(m_settings.settingsFilePath(), "[Stat]\r\nNumber=abc\r\n"); // splits all the same
    held.emplace(config);
    click("createButton");
    waitForSplitEnd();
    EXPECT_TRUE(fileExists(m_files.file("movie.bat")));
    EXPECT_EQ(shown("information").back().toStdString(),
              "The split files are complete, but the split was not counted: another Orvanto "
              "program holds " +
                  lockFile + ", the lock on the settings files.");
    chooseFile(m_files.file("movie.avi"));
    m_window->close(); // nor its size, stored as it closes
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(shown("information").back().toStdString(),
              "Another Orvanto program has held " + lockFile +
                  ", the lock on the settings files, for longer than 5 seconds, so these "
                  "settings could not be saved:\n" +
                  config + "quorel20.ini [History] Last Dir\n" + config +
                  "VU_2.ini [frmsplit] W, H, TextScale");
    held.reset();
    EXPECT_EQ(readFile(m_settings.settingsFilePath()), "[Stat]\r\nNumber=abc\r\n");
}

TEST_F(SplitTest, TheSessionEndingStopsASplitWithoutAskingAndThenCloses) {
    for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        readyToSplit(3'000'000);
        const TerminationSignals sessionEnd([this] { m_window->closeAtSessionEnd(); }, [] {});
        createWhileChecking([signalNumber] {
            std::raise(signalNumber);
            QCoreApplication::processEvents();
        });
        EXPECT_TRUE(m_ranDuringSplit);
        EXPECT_FALSE(m_window->isVisible()) << signalNumber;
        EXPECT_FALSE(fileExists(m_files.file("movie.1")) || fileExists(m_files.file("movie.bat")));
    }
    EXPECT_TRUE(shown("askYesNo").empty());
    EXPECT_EQ(m_settings.readSplitCounter(), 0);
    openWindow(); // with no split running, the window just closes
    const TerminationSignals sessionEnd([this] { m_window->closeAtSessionEnd(); }, [] {});
    std::raise(SIGHUP);
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_window->isVisible());
}

// The click returns while the job is held, and the window keeps answering: its label shows only
// what is on the medium, the first piece (33 %), while the second waits for the device and the
// third is half read (83 %).
TEST_F(SplitTest, TheWindowAnswersWhileTheJobIsHeldAndShowsOnlyWhatIsOnTheMedium) {
    readyToSplit(3'000'000);
    // Each piece is created, then copied in one block; step 5 creates the third piece, once the
    // first is on the medium. The window reads the figures on its timer, which runs while the
    // job is held.
    createWhileChecking(
        [this] {
            QLabel& label = control<QLabel>("progressLabel");
            for (int look = 0; look < 1000 && label.text() != "33% Complete"; ++look)
                QTest::qWait(10);
            EXPECT_EQ(label.text(), "33% Complete");
            EXPECT_TRUE(label.isVisible());
        },
        5);
    EXPECT_TRUE(m_ranDuringSplit);
    EXPECT_EQ(control<QLabel>("progressLabel").text(), "100 %  Done.");
}

TEST_F(SplitTest, EscapeDuringASplitStopsItAndKeepsTheWindow) {
    readyToSplit(3'000'000);
    createWhileChecking([this] { QTest::keyClick(m_window.get(), Qt::Key_Escape); });

    EXPECT_EQ(shown("askYesNo"), std::vector<QString>{"Stop the split in progress?"});
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_FALSE(fileExists(m_files.file("movie.1")));
    EXPECT_EQ(shown("information"),
              std::vector<QString>{
                  "The split was stopped. The split files it had written have been removed."});
    EXPECT_FALSE(control<QLabel>("progressLabel").isVisible());
    EXPECT_EQ(lockedControlsEnabled(), kAllEnabled);
}

TEST_F(SplitTest, AnsweringNoLetsTheSplitFinishAndTheWindowStay) {
    readyToSplit(3'000'000);
    m_prompts.yesNoAnswer = false;
    createWhileChecking([this] { m_window->close(); });

    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(fileExists(m_files.file("movie.4")));
    EXPECT_EQ(m_settings.readSplitCounter(), 1);
}
} // namespace
