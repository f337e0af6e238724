#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QTimer>
#include <QWidget>

#include "engine/SizeCatalogue.h"
#include "platform/CreatedFiles.h"
#include "settings/KeptWrites.h"
#include "settings/Settings.h"

class QDropEvent;
class QListWidgetItem;
class QMimeData;
class QRadioButton;

namespace Ui {
class MainWindow;
}

// The main window: choose a file and a split size, split it, and reach the other windows.
class MainWindow final : public QWidget {
    Q_OBJECT
public:
    // Sizes, folders and the split counter go through settings. The configuration folder is made
    // when missing; when it cannot be, the error is shown and the window opens all the same.
    explicit MainWindow(settings::Settings settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The folder the open dialog is in: "Last Dir" when it last opened, then the chosen file's,
    // the printout's choice included.
    const QString& dialogFolder() const { return m_dialogFolder; }
    // The session is ending (SIGTERM, SIGHUP): a running split stops without asking and removes
    // what it wrote, and the window closes once it has, showing no box; otherwise the window
    // closes as usual. afterClosing runs once it has closed.
    void closeAtSessionEnd(std::function<void()> afterClosing = {});
    // What the running split has made, for a program that gives up on it; empty without one.
    CreatedFiles madeBySplit() const;
    // Called on the split job's thread at each of its steps: a test holds the job there.
    void observeSplitSteps(std::function<void()> observer) {
        m_splitStepObserver = std::move(observer);
    }
    // Selects path as if it had been chosen; one that cannot be split is shown in a box instead.
    void openWithFile(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setUpControls();
    void onSelectClicked();
    void onCreateClicked();
    // Checks the request made of the window's choices and starts its job, the controls locked
    // until it ends; a refusal is shown at once.
    void startSplit();
    // Shows the job's figures, and how it ended once it has.
    void onSplitTimer();
    void onSplitEnded();
    void finishEndedSplitLater();
    void finishSplit();
    void countSplit();
    // Names the settings that could not be saved, if any.
    void showUnsaved(const std::vector<std::string>& unsaved);
    // The handler of the twelve preset buttons.
    void onPresetChosen(std::size_t presetIndex);
    void onCustomizeChosen();
    void onCustomizeEntryClicked();
    void onSettingsClicked();
    void onStatisticsClicked();
    void onPrintClicked();
    void onHelpClicked();
    void onMoreSoftwareClicked();
    void onAboutClicked();

    void connectHandlers();
    void startSettings();
    void fillCustomizeList();
    // Selects the file, unless no rejoin script could hold its name (said in a box).
    void selectSourceFile(const QString& path);
    // Shows why no rejoin script could hold the file's name, if none could.
    bool refusesName(const std::string& path);
    size_catalogue::SizeChoice currentSizeChoice() const;
    // The customize list's selected entry, which the list keeps while it has not the focus.
    const QListWidgetItem* customizeEntry() const;
    // The window's button for size_catalogue::presets()[presetIndex].
    QRadioButton* presetButton(std::size_t presetIndex) const;
    // Customize and the presets.
    std::vector<QRadioButton*> sizeChoices() const;
    // Select, Create, Settings, Print, Statistics, About and the size choices: what a running split
    // must not see used.
    std::vector<QWidget*> controlsLockedDuringSplit() const;
    // Asks whether to stop the running split; true when the user said yes and it was asked to.
    bool askToStopSplit();
    void openPage(const char* pageName, const QString& failureText);
    static std::optional<QString> droppedFile(const QMimeData& data);
    // Accepts a drag or drop as Copy, else as Link; false when it offers neither.
    static bool acceptAsCopy(QDropEvent& event);

    settings::Settings m_settings;
    // The window's settings writes, which never wait for another program's lock.
    settings::KeptWrites m_keptWrites;
    std::unique_ptr<Ui::MainWindow> m_ui;
    std::string m_sourcePath;
    std::int64_t m_sourceSize = 0;
    QString m_dialogFolder;
    class RunningSplit;
    std::unique_ptr<RunningSplit> m_split;
    std::function<void()> m_splitStepObserver;
    QTimer m_splitTimer;
    bool m_askingToStop = false;
    bool m_closeAfterSplit = false;
    bool m_sessionEnding = false;
    std::function<void()> m_afterClosing;
};
