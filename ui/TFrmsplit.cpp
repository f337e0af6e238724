#include "ui/TFrmsplit.h"

#include <vector>

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "engine/SourceCheck.h"
#include "engine/SplitJob.h"
#include "engine/SplitRequest.h"
#include "platform/Paths.h"
#include "settings/Settings.h"
#include "ui/FolderPrintout.h"
#include "ui/FormPalette.h"
#include "ui/HandlerGuard.h"
#include "ui/NativeText.h"
#include "ui/ProgramPage.h"
#include "ui/Prompts.h"
#include "ui/Resources.h"
#include "ui/ScreenCentre.h"
#include "ui/SplitMessages.h"
#include "ui/SplitProgressLabel.h"
#include "ui/StoredSize.h"
#include "ui/TFrmSettings.h"
#include "ui/TFrmabout2.h"
#include "ui/TFrmstats.h"
#include "ui_TFrmsplit.h"

namespace {

const char* const kLayoutSection = "frmsplit";
const char* const kProductAddress = "https://www.orvanto.example/";

const QString kCustomizeReminder = QStringLiteral(
    "Remember to click the customized button on the left. The customized size is only used when "
    "the \"customized\" button is selected");
const QString kUnreadableSource =
    QStringLiteral("A severe error has occurred, the file could not be read ");
const QString kBrowserFailure = QStringLiteral(
    "The help file could not be opened because your browser would not open. You can view this "
    "help file by opening your browser manually, and pointing it to");
const QString kStopQuestion = QStringLiteral("Stop the split in progress?");

// Disables the controls that must not be used while a split runs, and enables them again
// however the split ends.
class SplitControlsLock {
public:
    explicit SplitControlsLock(std::vector<QWidget*> controls) : m_controls(std::move(controls)) {
        for (QWidget* control : m_controls)
            control->setEnabled(false);
    }
    ~SplitControlsLock() {
        for (QWidget* control : m_controls)
            control->setEnabled(true);
    }
    SplitControlsLock(const SplitControlsLock&) = delete;
    SplitControlsLock& operator=(const SplitControlsLock&) = delete;

private:
    std::vector<QWidget*> m_controls;
};

} // namespace

TFrmsplit::TFrmsplit(QWidget* parent) : QWidget(parent), m_ui(std::make_unique<Ui::TFrmsplit>()) {
    loadResources();
    m_ui->setupUi(this);
    shareFormPaletteWithStyledWidgets(*this);
    FormCreate();
}

TFrmsplit::~TFrmsplit() = default;

void TFrmsplit::FormCreate() {
    startSettings();
    centreOnScreen(*this);
    m_ui->Lblliteral->hide();
    m_ui->Image2->setPixmap(m_ui->Image1->pixmap());
    connectHandlers();
    m_ui->Rad14Meg->setChecked(true);
    fillCustomizeList();
    // Connected only now: selecting entry 0 from code is not a user's click.
    connect(m_ui->ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
}

// Each step is guarded on its own: a size or a settings file that cannot be read or created is
// reported, and the window still opens usable. Without a configuration folder there is nowhere
// to put the settings file, so that step is not tried.
void TFrmsplit::startSettings() {
    bool haveFolder = false;
    runHandler(this, [&haveFolder] {
        settings::initLayoutPath();
        haveFolder = true;
    });
    if (haveFolder)
        runHandler(this, [this] { restoreSize(); });
    settings::initSettingsPath();
    if (haveFolder)
        runHandler(this, [] { settings::createSettingsFileIfMissing(); });
}

void TFrmsplit::restoreSize() {
    restoreStoredSize(*this, kLayoutSection);
}

void TFrmsplit::connectHandlers() {
    for (std::size_t i = 0; i < size_catalogue::kPresetCount; ++i) {
        connect(presetButton(i), &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                RadPresetClick(i);
        });
    }
    connect(m_ui->Radcust, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            RadcustClick();
    });
    connect(m_ui->Cmdselect, &QPushButton::clicked, this, [this] { CmdselectClick(); });
    connect(m_ui->Cmdcreate, &QPushButton::clicked, this, [this] { cmdcreateClick(); });
    connect(m_ui->Cmdsettings, &QPushButton::clicked, this, [this] { CmdsettingsClick(); });
    connect(m_ui->Cmdstats, &QPushButton::clicked, this, [this] { CmdstatsClick(); });
    connect(m_ui->Cmdprint, &QPushButton::clicked, this, [this] { CmdprintClick(); });
    connect(m_ui->Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(m_ui->Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(m_ui->Cmdabout, &QPushButton::clicked, this, [this] { CmdaboutClick(); });
    connect(m_ui->Cmdcancel, &QPushButton::clicked, this, [this] { CmdcancelClick(); });
}

QRadioButton* TFrmsplit::presetButton(std::size_t presetIndex) const {
    return findChild<QRadioButton*>(
        QString::fromLatin1(size_catalogue::presets()[presetIndex].control));
}

void TFrmsplit::fillCustomizeList() {
    for (const std::string& entry : size_catalogue::customizeEntries())
        m_ui->ListBox1->addItem(QString::fromStdString(entry));
    m_ui->ListBox1->setCurrentRow(0);
}

void TFrmsplit::RadPresetClick(std::size_t presetIndex) {
    runHandler(this, [this, presetIndex] {
        m_ui->Lblbytes->setText(QString::fromLatin1(size_catalogue::presets()[presetIndex].label));
    });
}

void TFrmsplit::RadcustClick() {
    runHandler(this, [this] {
        if (const QListWidgetItem* entry = m_ui->ListBox1->currentItem())
            m_ui->Lblbytes->setText(entry->text());
    });
}

void TFrmsplit::ListBox1Click() {
    runHandler(this, [this] {
        if (m_ui->Radcust->isChecked())
            RadcustClick();
        else
            prompts().information(this, kCustomizeReminder);
    });
}

size_catalogue::SizeChoice TFrmsplit::currentSizeChoice() const {
    size_catalogue::SizeChoice choice;
    for (std::size_t i = 0; i < size_catalogue::kPresetCount; ++i) {
        if (presetButton(i)->isChecked())
            choice.presetIndex = i;
    }
    if (m_ui->Radcust->isChecked()) {
        choice.presetIndex.reset();
        if (const QListWidgetItem* entry = m_ui->ListBox1->currentItem())
            choice.customEntry = entry->text().toStdString();
    }
    return choice;
}

void TFrmsplit::CmdselectClick() {
    runHandler(this, [this] {
        m_ui->LblComplete->hide();
        m_dialogFolder = fromNative(settings::readLastDir());
        const std::optional<QString> chosen = prompts().openFile(this, m_dialogFolder);
        if (!chosen || chosen->isEmpty())
            return;
        selectSourceFile(*chosen);
    });
}

void TFrmsplit::selectSourceFile(const QString& path) {
    m_sourcePath = toNative(path);
    m_ui->LblFile->setText(path);
    m_ui->Lblliteral->show();
    m_sourceSize = sourceSizeOf(m_sourcePath);
    if (m_sourceSize == -1)
        prompts().error(this, kUnreadableSource);
    m_ui->Lblsize->setText(QString::number(m_sourceSize));
    m_ui->Lblsizecaption->show();
    m_ui->Image1->hide();
    m_ui->Image2->show();
    const std::string folder = paths::folderOf(m_sourcePath);
    m_dialogFolder = fromNative(folder);
    settings::writeLastDir(folder);
}

void TFrmsplit::openWithFile(const QString& path) {
    runHandler(this, [this, &path] {
        checkSplittableSource(toNative(path));
        selectSourceFile(path);
    });
}

void TFrmsplit::cmdcreateClick() {
    runHandler(this, [this] {
        const SplitOutcome outcome = runSplit();
        showSplitOutcome(this, outcome);
        // Counted once the user has seen the completion message.
        if (outcome.kind == SplitOutcome::Kind::Completed)
            settings::AddToSplitCounter(1);
    });
    // A close asked for during the split waited for the job to stop.
    if (m_closeAfterSplit)
        close();
}

SplitOutcome TFrmsplit::runSplit() {
    const std::int64_t splitSize = size_catalogue::resolveSplitSize(currentSizeChoice());
    const std::string outputFolder = settings::readOutputFolder();
    // The job keeps its own copy: the window's state must not change under it while it yields.
    const std::string sourcePath = m_sourcePath;
    const std::int64_t sourceSize = m_sourceSize;
    const SplitControlsLock lock(controlsLockedDuringSplit());
    SplitProgressLabel progress(*m_ui->LblComplete);
    const SplitOutcome outcome =
        startSplit(sourcePath, sourceSize, splitSize, outputFolder, progress);
    if (outcome.kind == SplitOutcome::Kind::Completed)
        progress.markCompleted();
    return outcome;
}

std::vector<QWidget*> TFrmsplit::controlsLockedDuringSplit() const {
    // Statistics and About run their own modal loop, which would hold the split until closed.
    std::vector<QWidget*> controls = {m_ui->Cmdselect, m_ui->Cmdcreate, m_ui->Cmdsettings,
                                      m_ui->Cmdprint,  m_ui->Cmdstats,  m_ui->Cmdabout,
                                      m_ui->Radcust,   m_ui->ListBox1};
    for (std::size_t i = 0; i < size_catalogue::kPresetCount; ++i)
        controls.push_back(presetButton(i));
    return controls;
}

void TFrmsplit::CmdsettingsClick() {
    runHandler(this, [this] { showSettingsDialog(this); });
}

void TFrmsplit::CmdstatsClick() {
    runHandler(this, [this] { showStatisticsWindow(this); });
}

void TFrmsplit::CmdprintClick() {
    runHandler(this, [this] {
        // Before any file choice in this run, the last one of an earlier run.
        if (m_dialogFolder.isEmpty())
            m_dialogFolder = fromNative(settings::readLastDir());
        printFolderListing(this, m_dialogFolder, *m_ui->ListBox2);
    });
}

void TFrmsplit::Button2Click() {
    openPage("help.htm", kBrowserFailure + QStringLiteral(" help.htm in the installed directory."));
}

void TFrmsplit::Button3Click() {
    openPage("download.htm", kBrowserFailure + QLatin1Char(' ') + QLatin1String(kProductAddress) +
                                 QLatin1Char('.'));
}

void TFrmsplit::openPage(const char* pageName, const QString& failureText) {
    runHandler(this,
               [this, pageName, &failureText] { openProgramPage(this, pageName, failureText); });
}

void TFrmsplit::CmdaboutClick() {
    runHandler(this, [this] {
        TFrmabout2 about(this);
        about.exec();
    });
}

void TFrmsplit::CmdcancelClick() {
    close();
}

void TFrmsplit::FormCloseQuery() {
    // A refused write is shown once; the window closes all the same.
    runHandler(this, [this] {
        settings::WriteLayoutSize(width(), height(), kLayoutSection, settings::layoutFilePath());
    });
}

bool TFrmsplit::askToStopSplit() {
    bool stopping = false;
    runHandler(this, [this, &stopping] {
        if (prompts().askYesNo(this, kStopQuestion)) {
            requestSplitStop();
            stopping = true;
        }
    });
    return stopping;
}

void TFrmsplit::closeAtSessionEnd() {
    if (!isSplitRunning()) {
        close();
        return;
    }
    requestSplitStop();
    m_closeAfterSplit = true;
}

void TFrmsplit::closeEvent(QCloseEvent* event) {
    if (isSplitRunning()) {
        // This arrives while the job yields; the window closes once the job has returned.
        event->ignore();
        if (askToStopSplit())
            m_closeAfterSplit = true;
        return;
    }
    FormCloseQuery();
    event->accept();
}

void TFrmsplit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isSplitRunning()) {
        askToStopSplit();
        return;
    }
    QWidget::keyPressEvent(event);
}

std::optional<QString> TFrmsplit::droppedFile(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (QFileInfo(path).isDir())
        return std::nullopt;
    return path;
}

// A source that honours Move deletes the user's file after the drop: only Copy or Link is taken.
bool TFrmsplit::acceptAsCopy(QDropEvent& event) {
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            event.accept();
            return true;
        }
    }
    return false;
}

void TFrmsplit::dragEnterEvent(QDragEnterEvent* event) {
    if (!isSplitRunning() && droppedFile(*event->mimeData()))
        acceptAsCopy(*event);
}

void TFrmsplit::dropEvent(QDropEvent* event) {
    const std::optional<QString> path = droppedFile(*event->mimeData());
    if (isSplitRunning() || !path || !acceptAsCopy(*event))
        return;
    runHandler(this, [this, &path] {
        m_ui->LblComplete->hide();
        selectSourceFile(*path);
    });
}
