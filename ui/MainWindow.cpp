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
#include <QFocusEvent>
#include <QItemSelectionModel>
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

namespace {

const char* const kProductAddress = "https://www.orvanto.example/";

// How often the window reads a running split's figures: often enough for a label.
constexpr int kSplitTimerMilliseconds = 100;

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

// Qt says a list's current entry has the focus even while the focus is elsewhere, so a screen
// reader would announce an entry nobody is on: the list holds a current entry only while it has
// the focus or takes a key, and its selection keeps the choice meanwhile.
class CurrentEntryWhileFocused final : public QObject {
public:
    explicit CurrentEntryWhileFocused(QListWidget* list) : QObject(list), m_list(*list) {}

    bool eventFilter(QObject*, QEvent* event) override {
        QItemSelectionModel& model = *m_list.selectionModel();
        if (event->type() == QEvent::FocusOut) {
            model.setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        } else if (restoresCurrent(*event) && !model.currentIndex().isValid() &&
                   !m_list.selectedItems().isEmpty()) {
            model.setCurrentIndex(m_list.indexFromItem(m_list.selectedItems().front()),
                                  QItemSelectionModel::NoUpdate);
        }
        return false;
    }

private:
    // A click makes the entry under it current itself; made current first, the selected entry
    // would scroll into view and move another entry under the pointer.
    static bool restoresCurrent(const QEvent& event) {
        if (event.type() == QEvent::FocusIn)
            return static_cast<const QFocusEvent&>(event).reason() != Qt::MouseFocusReason;
        return event.type() == QEvent::KeyPress;
    }

    QListWidget& m_list;
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

// A setting as the user finds it in its file: the file, the section and the key.
std::string settingWhat(const std::string& file, const std::string& section,
                        const std::string& key) {
    return file + " [" + section + "] " + key;
}

std::unique_ptr<SplitJob> splitJob(const SplitRequest& request,
                                   const std::function<void()>& stepObserver) {
    auto job = std::make_unique<SplitJob>(request);
    if (stepObserver)
        job->observeSteps(stepObserver);
    return job;
}

} // namespace

// A split beside the window: its job run, the controls locked and the label shown while it
// lives.
class MainWindow::RunningSplit {
public:
    RunningSplit(const SplitRequest& request, std::vector<QWidget*> controls, QLabel& label,
                 const std::function<void()>& stepObserver)
        : progress(label), lock(std::move(controls), label),
          runner(splitJob(request, stepObserver)),
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
    connect(m_ui->customizeList, &QListWidget::itemSelectionChanged, this, [this] {
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
    // The holder is another Orvanto program starting or changing these very files: the window
    // opens at once and shows what a first start shows, and the file is made by a later write.
    runHandler(this, [this] {
        m_keptWrites.write(settingWhat(m_settings.settingsFilePath(),
                                       settings::kSplitCounterSection, settings::kSplitCounterKey),
                           [this](LockWait wait) { m_settings.createSettingsFileIfMissing(wait); });
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
    // Selected, not current: the list does not have the focus.
    m_ui->customizeList->item(0)->setSelected(true);
    m_ui->customizeList->installEventFilter(new CurrentEntryWhileFocused(m_ui->customizeList));
}

const QListWidgetItem* MainWindow::customizeEntry() const {
    const QList<QListWidgetItem*> selected = m_ui->customizeList->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void MainWindow::onPresetChosen(std::size_t presetIndex) {
    runHandler(this, [this, presetIndex] {
        m_ui->splitSizeLabel->setText(sizeText(size_catalogue::presets()[presetIndex].label));
    });
}

void MainWindow::onCustomizeChosen() {
    runHandler(this, [this] {
        if (const QListWidgetItem* entry = customizeEntry())
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
        if (const QListWidgetItem* entry = customizeEntry())
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
    m_keptWrites.write(settingWhat(m_settings.settingsFilePath(), settings::kHistorySection,
                                   settings::kLastFolderKey),
                       [this, folder](LockWait wait) { m_settings.writeLastDir(folder, wait); });
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
    // Refused at once while another program holds the lock: the window never waits for it.
    m_settings.createSettingsFileIfMissing(settings::kNoLockWait);
    const SplitRequest request{m_sourcePath, m_sourceSize,
                               size_catalogue::resolveSplitSize(currentSizeChoice()),
                               m_settings.readOutputFolder()};
    // Checked by the job, where a stop reaches a medium that does not answer; a refusal is its
    // outcome.
    m_split = std::make_unique<RunningSplit>(request, controlsLockedDuringSplit(),
                                             *m_ui->progressLabel, m_splitStepObserver);
    connect(&m_split->ended, &QSocketNotifier::activated, this, [this] { onSplitEnded(); });
    m_splitTimer.start();
}

CreatedFiles MainWindow::madeBySplit() const {
    return m_split ? m_split->runner.job().createdFiles() : CreatedFiles();
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
             orvantoText("The product page could not be opened because your browser would not "
                         "open. You can view the product page by opening your browser manually, "
                         "and pointing it to %1.")
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
            m_keptWrites.write(settingWhat(m_settings.layoutFilePath(),
                                           settings::kMainWindowSection, "W, H, TextScale"),
                               [this](LockWait wait) {
                                   storeSize(*this, m_settings, settings::kMainWindowSection, wait);
                               });
            showUnsaved(m_keptWrites.saveKept());
        } catch (const std::exception&) {
            // At the end of the session the size is skipped rather than waited for or asked
            // about (a stop signal ends the wait for the settings lock).
            rethrowUnlessSessionEnds(std::current_exception(), m_sessionEnding);
        }
    });
    event->accept();
}

// Settings kept while another program held the lock, and held still as the window closes.
void MainWindow::showUnsaved(const std::vector<std::string>& unsaved) {
    if (unsaved.empty())
        return;
    QString list;
    for (const std::string& what : unsaved)
        list += QStringLiteral("\n") + fromNative(visibleText(what));
    const QString text =
        orvantoText("Another Orvanto program has held %1, the lock on the settings files, for "
                    "longer than %2 seconds, so these settings could not be saved:%3")
            .arg(fromNative(visibleText(m_settings.lockFilePath())))
            .arg(settings::kLockWait.count())
            .arg(list);
    if (m_sessionEnding)
        std::fprintf(stderr, "orvanto: %s\n", toNative(text).c_str());
    else
        prompts().information(this, text);
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
