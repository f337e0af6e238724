#include "ui/JoinDialog.h"

#include <utility>

#include <QApplication>
#include <QDialogButtonBox>

#include "engine/Job.h"
#include "engine/Progress.h"
#include "platform/Paths.h"
#include "platform/VisibleText.h"
#include "ui/DesktopTextScale.h"
#include "ui/ElidedText.h"
#include "ui/FormOnScreen.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/WindowText.h"
#include "ui_JoinDialog.h"
#include "wording/FailureMessages.h"
#include "wording/JoinMessages.h"

namespace {

// How often the window shows the job's figures.
constexpr int kTimerMilliseconds = 100;

} // namespace

JoinDialog::JoinDialog(JoinRequest request)
    : m_ui(std::make_unique<Ui::JoinDialog>()), m_request(std::move(request)) {
    m_ui->setupUi(this);
    scaleFormToDesktopText(*this);
    showElidedText(*m_ui->targetLabel,
                   orvantoText("Reading %1").arg(fromNative(visibleText(m_request.scriptPath))));
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &JoinDialog::reject);
    m_timer.setInterval(kTimerMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] { showProgress(); });
    centreOnScreen(*this);
}

JoinDialog::~JoinDialog() = default;

void JoinDialog::start() {
    show();
    startJob();
}

void JoinDialog::startJob() {
    m_ended.reset();
    m_runner.reset();
    m_runner = std::make_unique<JobRunner<JoinJob>>(std::make_unique<JoinJob>(m_request));
    m_ended = std::make_unique<QSocketNotifier>(m_runner->endedDescriptor(), QSocketNotifier::Read);
    connect(m_ended.get(), &QSocketNotifier::activated, this, [this] { onJobEnded(); });
    // Consent to replace was given for this run's file only.
    m_request.replaceExisting = false;
    if (m_cancelled)
        m_runner->stop();
    m_timer.start();
}

void JoinDialog::showProgress() {
    const JobProgress progress = m_runner->job().progress();
    const std::string target = m_runner->job().targetPath();
    if (!target.empty())
        showElidedText(*m_ui->targetLabel,
                       orvantoText("Recreating %1").arg(fromNative(visibleText(target))));
    m_ui->progressBar->setValue(percentOnMedium(progress));
}

void JoinDialog::onJobEnded() {
    m_ended->setEnabled(false);
    m_timer.stop();
    showProgress();
    m_outcome = JoinStopped{};
    m_failure = nullptr;
    try {
        m_outcome = m_runner->takeOutcome();
    } catch (...) {
        m_failure = std::current_exception();
    }
    if (!m_cancelled && askedToJoinAgain()) {
        startJob();
        return;
    }
    hide();
    emit joinEnded();
}

CreatedFiles JoinDialog::madeByJoin() const {
    return m_runner ? m_runner->job().createdFiles() : CreatedFiles();
}

void JoinDialog::interrupt() {
    reject();
    // No question or box may keep the program alive once it has been asked to end.
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (box && box != this)
        box->reject();
}

bool JoinDialog::askedToJoinAgain() {
    if (m_failure)
        return offerAnotherFolder(m_failure);
    const auto* refusal = std::get_if<JoinRefusal>(&m_outcome);
    const auto* targetExists = refusal ? std::get_if<join_refusal::TargetExists>(refusal) : nullptr;
    return targetExists && askWhereToRecreate(*targetExists);
}

// A file in the way is only left in place when the user cancelled the question about it, or the
// join: that ends the join as a cancel does.
JoinOutcome JoinDialog::outcome() const {
    if (m_failure)
        std::rethrow_exception(m_failure);
    if (const auto* refusal = std::get_if<JoinRefusal>(&m_outcome))
        if (std::holds_alternative<join_refusal::TargetExists>(*refusal))
            return JoinStopped{};
    return m_outcome;
}

bool JoinDialog::offerAnotherFolder(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        m_failureShown = true;
        const QString question = orvantoText("%1\n\nRecreate the file in another folder?")
                                     .arg(fromNative(visibleText(failureText(error))));
        if (!prompts().askYesNo(this, question))
            return false;
    }
    return chooseAnotherFolder(joinTargetFolder(m_request));
}

bool JoinDialog::chooseAnotherFolder(const std::string& initialFolder) {
    const auto folder = prompts().chooseFolder(this, fromNative(initialFolder));
    if (!folder)
        return false;
    m_request.targetFolder = chosenPath(*folder);
    return true;
}

// The window's counterparts of --force and -o.
bool JoinDialog::askWhereToRecreate(const join_refusal::TargetExists& targetExists) {
    const QString question =
        orvantoText("%1 Replace it, or recreate the file in another folder?")
            .arg(
                fromNative(joinRefusalText(targetExists, paths::fileNameOf(m_request.scriptPath))));
    switch (prompts().askAboutExistingFile(this, question)) {
    case Prompts::ExistingFileAnswer::Replace:
        m_request.replaceExisting = true;
        return true;
    case Prompts::ExistingFileAnswer::ChooseAnotherFolder:
        return chooseAnotherFolder(paths::folderOf(targetExists.path));
    case Prompts::ExistingFileAnswer::Cancel:
        return false;
    }
    return false;
}

void JoinDialog::showResult(const JoinOutcome& outcome) {
    if (const auto* completion = std::get_if<JoinCompletion>(&outcome))
        prompts().information(nullptr, fromNative(joinCompletionText(*completion)));
    if (const auto* refusal = std::get_if<JoinRefusal>(&outcome))
        prompts().error(nullptr, fromNative(joinRefusalText(
                                     *refusal, paths::fileNameOf(m_request.scriptPath))));
}

void JoinDialog::showFailure(const std::exception& failure) {
    if (m_failureShown)
        return;
    prompts().error(nullptr, fromNative(visibleText(failureText(failure))));
}

void JoinDialog::reject() {
    m_cancelled = true;
    if (m_runner)
        m_runner->stop();
}
