#include "ui/MainWindow.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <exception>
#include <variant>

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QUrl>

#include "engine/JobRunner.h"
#include "engine/SourceCheck.h"
#include "engine/SplitJob.h"
#include "engine/SplitRequest.h"
#include "platform/FileSystem.h"
#include "platform/FolderLock.h"
#include "platform/Paths.h"
#include "platform/StopSignals.h"
#include "platform/VisibleText.h"
#include "ui/AboutBox.h"
#include "ui/ChoiceKeys.h"
#include "ui/DesktopTextScale.h"
#include "ui/ElidedText.h"
#include "ui/FolderPrintout.h"
#include "ui/FormOnScreen.h"
#include "ui/HandlerGuard.h"
#include "ui/NativeText.h"
#include "ui/ProgramLine.h"
#include "ui/ProgramPage.h"
#include "ui/Prompts.h"
#include "ui/SettingsDialog.h"
#include "ui/SplitMessages.h"
#include "ui/SplitProgressLabel.h"
#include "ui/StatisticsWindow.h"
#include "ui/WindowText.h"
#include "ui_MainWindow.h"
#include "wording/FailureMessages.h"
#include "wording/StopMessages.h"

namespace {

const char* const kProductAddress = "https://www.orvanto.example/";

// How often the window reads a running split's figures: often enough for a label.
constexpr int kSplitTimerMilliseconds = 100;

// The longest the window waits for another program's lock on the settings before a split or at
// its start, where it then goes on without creating the settings file.
constexpr auto kSettingsLockWait = std::chrono::seconds(1);

// Disables the controls that must not be used while a split runs, and enables them again
// however the split ends, with the focus back where the user left it. Meanwhile focusHolder (the
// progress, which a screen reader then reads) takes the focus from a control it disables: Qt
// would hand it to the next button, where Enter would open a box mid-split.
class SplitControlsLock {
public:
    SplitControlsLock(std::vector<QWidget*> controls, QWidget& focusHolder)
        : m_controls(std::move(controls)), m_focusHolder(focusHolder),
          m_focused(QApplication::focusWidget()) {
        m_focusHolder.setFocusPolicy(Qt::TabFocus);
        if (std::find(m_controls.begin(), m_controls.end(), m_focused.data()) != m_controls.end())
            m_focusHolder.setFocus(Qt::OtherFocusReason);
        for (QWidget* control : m_controls)
            control->setEnabled(false);
    }
    ~SplitControlsLock() {
        for (QWidget* control : m_controls)
            control->setEnabled(true);
        if (m_focused)
            m_focused->setFocus();
        m_focusHolder.setFocusPolicy(Qt::NoFocus);
    }
    SplitControlsLock(const SplitControlsLock&) = delete;
    SplitControlsLock& operator=(const SplitControlsLock&) = delete;

private:
    std::vector<QWidget*> m_controls;
    QWidget& m_focusHolder;
    const QPointer<QWidget> m_focused;
};

// At the end of the session no box may wait for an answer: the failure goes to standard error.
void rethrowUnlessSessionEnds(const std::exception_ptr& failure, bool sessionEnding) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        if (!sessionEnding)
            throw;
        writeProgramLine(visibleText(failureText(error)));
    }
}

std::unique_ptr<SplitJob> splitJob(SplitPlan plan, const std::function<void()>& stepObserver) {
    auto job = std::make_unique<SplitJob>(std::move(plan));
    if (stepObserver)
        job->observeSteps(stepObserver);
    return job;
}

} // namespace

// A split beside the window: its job run, the controls locked and the label shown while it
// lives.
class MainWindow::RunningSplit {
public:
    RunningSplit(SplitPlan plan, std::vector<QWidget*> controls, QLabel& label,
                 const std::function<void()>& stepObserver)
        : progress(label), lock(std::move(controls), label),
          runner(splitJob(std::move(plan), stepObserver)),
          ended(runner.endedDescriptor(), QSocketNotifier::Read) {}

    // Shown before the lock gives it the focus.
    SplitProgressLabel progress;
    SplitControlsLock lock;
    JobRunner<SplitJob> runner;
    // Fires once the job has ended; switched off at its first call.
    QSocketNotifier ended;
    // Its end came while a question was open.
    bool endedWhileAsking = false;
};

MainWindow::MainWindow(settings::Settings settings, QWidget* parent)
    : QWidget(parent), m_settings(std::move(settings)), m_ui(std::make_unique<Ui::MainWindow>()) {
    // A static library's resources are registered only when something asks for them.
    Q_INIT_RESOURCE(resources);
    m_ui->setupUi(this);
    shareFormPaletteWithStyledWidgets(*this);
    // The form fits the longest size that its label can show.
    m_ui->splitSizeLabel->setText(sizeText(size_catalogue::customizeEntries().back()));
    scaleFormToDesktopText(*this);
    setUpControls();
    m_splitTimer.setInterval(kSplitTimerMilliseconds);
    connect(&m_splitTimer, &QTimer::timeout, this, [this] { onSplitTimer(); });
}

// A split still running stops, removing what it wrote, before the window goes.
MainWindow::~MainWindow() {
    if (m_split)
        m_split->runner.stop();
}

void MainWindow::setUpControls() {
    startSettings();
    centreOnScreen(*this);
    m_ui->fileCaption->hide();
    m_ui->logoAfterSelection->setPixmap(m_ui->logoBeforeSelection->pixmap());
    connectHandlers();
    selectChoicesWithTheFocus(sizeChoices());
    selectChoiceWithItsCompanion(m_ui->customizeButton, m_ui->customizeList);
    m_ui->preset1Point4MegButton->setChecked(true);
    fillCustomizeList();
    // Keys move the list's current entry without a reminder each time; a click reminds.
    connect(m_ui->customizeList, &QListWidget::currentRowChanged, this, [this] {
        if (m_ui->customizeButton->isChecked())
            onCustomizeChosen();
    });
    connect(m_ui->customizeList, &QListWidget::itemClicked, this,
            [this] { onCustomizeEntryClicked(); });
}

// Each step is guarded on its own: a size or a settings file that cannot be read or created is
// reported, and the window still opens usable. Without a configuration folder there is nowhere
// to put the settings file, so that step is not tried.
void MainWindow::startSettings() {
    bool haveFolder = false;
    runHandler(this, [this, &haveFolder] {
        m_settings.createFolder();
        haveFolder = true;
    });
    if (!haveFolder)
        return;
    runHandler(this,
               [this] { restoreStoredSize(*this, m_settings, settings::kMainWindowSection); });
    runHandler(this, [this] {
        // The holder is another Orvanto program starting or changing these very files: the window
        // shows what a first start shows, and the split makes the file.
        try {
            m_settings.createSettingsFileIfMissing(kSettingsLockWait);
        } catch (const FolderLockBusy&) {
        }
    });
}

void MainWindow::connectHandlers() {
    for (std::size_t i = 0; i < size_catalogue::kPresetCount; ++i) {
        connect(presetButton(i), &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                onPresetChosen(i);
        });
    }
    connect(m_ui->customizeButton, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            onCustomizeChosen();
    });
    connect(m_ui->selectButton, &QPushButton::clicked, this, [this] { onSelectClicked(); });
    connect(m_ui->createButton, &QPushButton::clicked, this, [this] { onCreateClicked(); });
    connect(m_ui->settingsButton, &QPushButton::clicked, this, [this] { onSettingsClicked(); });
    connect(m_ui->statisticsButton, &QPushButton::clicked, this, [this] { onStatisticsClicked(); });
    connect(m_ui->printButton, &QPushButton::clicked, this, [this] { onPrintClicked(); });
    connect(m_ui->helpButton, &QPushButton::clicked, this, [this] { onHelpClicked(); });
    connect(m_ui->moreSoftwareButton, &QPushButton::clicked, this,
            [this] { onMoreSoftwareClicked(); });
    connect(m_ui->aboutButton, &QPushButton::clicked, this, [this] { onAboutClicked(); });
    connect(m_ui->exitButton, &QPushButton::clicked, this, &QWidget::close);
}

QRadioButton* MainWindow::presetButton(std::size_t presetIndex) const {
    const std::array<QRadioButton*, size_catalogue::kPresetCount> inPresetOrder = {
        m_ui->preset100kButton,       m_ui->preset500kButton,   m_ui->preset1MegButton,
        m_ui->preset1Point4MegButton, m_ui->preset2MegButton,   m_ui->preset95MegButton,
        m_ui->preset127MegButton,     m_ui->preset195MegButton, m_ui->preset255MegButton,
        m_ui->preset530MegButton,     m_ui->preset650MegButton, m_ui->preset4600MegButton};
    return inPresetOrder.at(presetIndex);
}

std::vector<QRadioButton*> MainWindow::sizeChoices() const {
    std::vector<QRadioButton*> choices = {m_ui->customizeButton};
    for (std::size_t i = 0; i < size_catalogue::kPresetCount; ++i)
        choices.push_back(presetButton(i));
    return choices;
}

void MainWindow::fillCustomizeList() {
    // Shown in the user's words; the catalogue's own entry is what the split reads.
    for (const std::string& entry : size_catalogue::customizeEntries()) {
        auto* item = new QListWidgetItem(sizeText(entry), m_ui->customizeList);
        item->setData(Qt::UserRole, QString::fromStdString(entry));
    }
    m_ui->customizeList->setCurrentRow(0);
}

void MainWindow::onPresetChosen(std::size_t presetIndex) {
    runHandler(this, [this, presetIndex] {
        m_ui->splitSizeLabel->setText(sizeText(size_catalogue::presets()[presetIndex].label));
    });
}

void MainWindow::onCustomizeChosen() {
    runHandler(this, [this] {
        if (const QListWidgetItem* entry = m_ui->customizeList->currentItem())
            m_ui->splitSizeLabel->setText(entry->text());
    });
}

void MainWindow::onCustomizeEntryClicked() {
    runHandler(this, [this] {
        if (!m_ui->customizeButton->isChecked())
            prompts().information(
                this, orvantoText("Remember to click the customized button on the left. The "
                                  "customized size is only used when the \"customized\" button "
                                  "is selected"));
    });
}

size_catalogue::SizeChoice MainWindow::currentSizeChoice() const {
    size_catalogue::SizeChoice choice;
    for (std::size_t i = 0; i < size_catalogue::kPresetCount; ++i) {
        if (presetButton(i)->isChecked())
            choice.presetIndex = i;
    }
    if (m_ui->customizeButton->isChecked()) {
        choice.presetIndex.reset();
        if (const QListWidgetItem* entry = m_ui->customizeList->currentItem())
            choice.customEntry = entry->data(Qt::UserRole).toString().toStdString();
    }
    return choice;
}

void MainWindow::onSelectClicked() {
    runHandler(this, [this] {
        m_ui->progressLabel->hide();
        m_dialogFolder = fromNative(m_settings.readLastDir());
        const std::optional<QString> chosen = prompts().openFile(this, m_dialogFolder);
        if (!chosen || chosen->isEmpty())
            return;
        selectSourceFile(*chosen);
    });
}

void MainWindow::selectSourceFile(const QString& path) {
    const std::string source = chosenPath(path);
    if (refusesName(source))
        return;
    m_sourcePath = source;
    showElidedText(*m_ui->fileLabel, fromNative(visibleText(m_sourcePath)));
    m_ui->fileCaption->show();
    m_sourceSize = fs_entry::targetSize(m_sourcePath);
    if (m_sourceSize == -1)
        prompts().error(this,
                        orvantoText("A severe error has occurred, the file could not be read "));
    m_ui->fileSizeLabel->setText(m_sourceSize == -1 ? orvantoText("unknown")
                                                    : QString::number(m_sourceSize));
    m_ui->fileSizeCaption->show();
    m_ui->logoBeforeSelection->hide();
    m_ui->logoAfterSelection->show();
    const std::string folder = paths::folderOf(m_sourcePath);
    m_dialogFolder = fromNative(folder);
    m_settings.writeLastDir(folder);
}

void MainWindow::openWithFile(const QString& path) {
    runHandler(this, [this, &path] {
        checkSplittableSource(chosenPath(path));
        selectSourceFile(path);
    });
}

bool MainWindow::refusesName(const std::string& path) {
    const std::optional<SplitRefusal> refusal = sourceNameRefusal(path);
    if (refusal)
        prompts().information(this, refusalText(*refusal));
    return refusal.has_value();
}

void MainWindow::onCreateClicked() {
    runHandler(this, [this] { startSplit(); });
}

void MainWindow::startSplit() {
    // The settings file is made with its counter before the split, which counts itself at the end.
    m_settings.createSettingsFileIfMissing(kSettingsLockWait);
    const SplitRequest request{m_sourcePath, m_sourceSize,
                               size_catalogue::resolveSplitSize(currentSizeChoice()),
                               m_settings.readOutputFolder()};
    auto checked = checkSplitRequest(request);
    if (const auto* refusal = std::get_if<SplitRefusal>(&checked)) {
        showSplitOutcome(this, *refusal);
        return;
    }
    StopSignals::setLeftoverNote(splitLeftoverNote(kProgramPrefix, std::get<SplitPlan>(checked)));
    m_split = std::make_unique<RunningSplit>(std::get<SplitPlan>(std::move(checked)),
                                             controlsLockedDuringSplit(), *m_ui->progressLabel,
                                             m_splitStepObserver);
    connect(&m_split->ended, &QSocketNotifier::activated, this, [this] { onSplitEnded(); });
    m_splitTimer.start();
}

void MainWindow::onSplitTimer() {
    m_split->progress.show(m_split->runner.job().progress());
}

// What ends the split waits for an open question, unless the session is ending.
void MainWindow::onSplitEnded() {
    m_split->ended.setEnabled(false);
    m_split->progress.show(m_split->runner.job().progress());
    if (m_askingToStop && !m_sessionEnding)
        m_split->endedWhileAsking = true;
    else
        finishSplit();
}

void MainWindow::finishSplit() {
    m_splitTimer.stop();
    SplitOutcome outcome = SplitStopped{};
    std::exception_ptr failure;
    {
        // Gone before any box: the controls unlocked, the label hidden unless completed.
        const std::unique_ptr<RunningSplit> split = std::move(m_split);
        try {
            outcome = split->runner.takeOutcome();
            if (std::holds_alternative<SplitCompletion>(outcome))
                split->progress.markCompleted();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    runHandler(this, [this, &outcome, &failure] {
        if (failure) {
            rethrowUnlessSessionEnds(failure, m_sessionEnding);
            return;
        }
        if (!m_sessionEnding)
            showSplitOutcome(this, outcome);
        // Counted once the user has seen the completion message.
        if (std::holds_alternative<SplitCompletion>(outcome))
            countSplit();
    });
    // A close asked for during the split waited for the job to stop.
    if (m_closeAfterSplit)
        close();
    if (m_sessionEnding && m_afterClosing)
        m_afterClosing();
}

// A lock that another program holds for long, or a counter that cannot be read, leaves the
// complete set uncounted rather than the window frozen or the split failed; a stop signal that
// ended the wait ends the session, where no box may wait.
void MainWindow::countSplit() {
    const std::optional<settings::UncountedSplit> uncounted = m_settings.countCompletedSplit();
    if (!uncounted)
        return;
    const std::string text = visibleText(uncountedSplitText(*uncounted));
    if (StopSignals::stopSignal() != 0)
        writeProgramLine(text);
    else
        prompts().information(this, fromNative(text));
}

std::vector<QWidget*> MainWindow::controlsLockedDuringSplit() const {
    // Statistics and About run their own modal loop, which would hold the split until closed.
    std::vector<QWidget*> controls = {
        m_ui->selectButton,     m_ui->createButton, m_ui->settingsButton, m_ui->printButton,
        m_ui->statisticsButton, m_ui->aboutButton,  m_ui->customizeList};
    for (QRadioButton* choice : sizeChoices())
        controls.push_back(choice);
    return controls;
}

void MainWindow::onSettingsClicked() {
    runHandler(this, [this] { showSettingsDialog(this, m_settings); });
}

void MainWindow::onStatisticsClicked() {
    runHandler(this, [this] { showStatisticsWindow(this, m_settings); });
}

void MainWindow::onPrintClicked() {
    runHandler(this, [this] {
        // Before any file choice in this run, the last one of an earlier run.
        if (m_dialogFolder.isEmpty())
            m_dialogFolder = fromNative(m_settings.readLastDir());
        printFolderListing(this, m_dialogFolder, *m_ui->fileListForPrinting);
    });
}

void MainWindow::onHelpClicked() {
    openPage(helpPageName(),
             orvantoText("The help file could not be opened because your browser would not open. "
                         "You can view this help file by opening your browser manually, and "
                         "pointing it to help.htm in the installed directory."));
}

void MainWindow::onMoreSoftwareClicked() {
    openPage("download.htm",
             orvantoText("The help file could not be opened because your browser would not open. "
                         "You can view this help file by opening your browser manually, and "
                         "pointing it to %1.")
                 .arg(QLatin1String(kProductAddress)));
}

void MainWindow::openPage(const char* pageName, const QString& failureText) {
    runHandler(this,
               [this, pageName, &failureText] { openProgramPage(this, pageName, failureText); });
}

void MainWindow::onAboutClicked() {
    runHandler(this, [this] {
        AboutBox about(this);
        about.exec();
    });
}

bool MainWindow::askToStopSplit() {
    bool stopping = false;
    m_askingToStop = true;
    runHandler(this, [this, &stopping] {
        // The split may have ended while the question was open.
        if (prompts().askYesNo(this, orvantoText("Stop the split in progress?")) && m_split) {
            m_split->runner.stop();
            stopping = true;
        }
    });
    m_askingToStop = false;
    finishEndedSplitLater();
    return stopping;
}

// Once the caller has acted on the answer or the session's end: the split that ended while a
// question was open.
void MainWindow::finishEndedSplitLater() {
    if (!m_split || !m_split->endedWhileAsking)
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_split)
                finishSplit();
        },
        Qt::QueuedConnection);
}

void MainWindow::closeAtSessionEnd(std::function<void()> afterClosing) {
    m_sessionEnding = true;
    m_afterClosing = std::move(afterClosing);
    if (!m_split) {
        close();
        if (m_afterClosing)
            m_afterClosing();
        return;
    }
    m_split->runner.stop();
    m_closeAfterSplit = true;
    finishEndedSplitLater();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_split) {
        // The window closes once the job has removed what it wrote.
        event->ignore();
        if (askToStopSplit())
            m_closeAfterSplit = true;
        return;
    }
    // A refused write is shown once; the window closes all the same.
    runHandler(this, [this] {
        try {
            storeSize(*this, m_settings, settings::kMainWindowSection);
        } catch (const std::exception&) {
            // At the end of the session the size is skipped rather than waited for or asked
            // about (a stop signal ends the wait for the settings lock).
            rethrowUnlessSessionEnds(std::current_exception(), m_sessionEnding);
        }
    });
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_split) {
        askToStopSplit();
        return;
    }
    QWidget::keyPressEvent(event);
}

std::optional<QString> MainWindow::droppedFile(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (QFileInfo(path).isDir())
        return std::nullopt;
    return path;
}

// A source that honours Move deletes the user's file after the drop: only Copy or Link is taken.
bool MainWindow::acceptAsCopy(QDropEvent& event) {
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            event.accept();
            return true;
        }
    }
    return false;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_split && droppedFile(*event->mimeData()))
        acceptAsCopy(*event);
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::optional<QString> path = droppedFile(*event->mimeData());
    if (m_split || !path || !acceptAsCopy(*event))
        return;
    runHandler(this, [this, &path] {
        m_ui->progressLabel->hide();
        selectSourceFile(*path);
    });
}
