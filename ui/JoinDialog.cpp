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
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/ScreenCentre.h"
#include "ui_JoinDialog.h"
#include "wording/FailureMessages.h"
#include "wording/JoinMessages.h"

namespace {

// How often the window reads the job's figures.
constexpr int kTimerMilliseconds = 100;

} // namespace

JoinDialog::JoinDialog(JoinRequest request, std::function<bool()> interrupted)
    : m_ui(std::make_unique<Ui::JoinDialog>()), m_request(std::move(request)),
      m_interrupted(std::move(interrupted)) {
    m_ui->setupUi(this);
    scaleFormToDesktopText(*this);
    showElidedText(*m_ui->targetLabel,
                   tr("Reading %1").arg(fromNative(visibleText(m_request.scriptPath))));
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &JoinDialog::reject);
    m_timer.setInterval(kTimerMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] { onTimer(); });
    // Runs for the window's whole life, questions and result boxes included.
    m_signalWatch.setInterval(kTimerMilliseconds);
    connect(&m_signalWatch, &QTimer::timeout, this, [this] { onSignalWatch(); });
    m_signalWatch.start();
    centreOnScreen(*this);
}

JoinDialog::~JoinDialog() {
    if (m_job)
        m_job->requestStop();
}

void JoinDialog::start() {
    show();
    startJob();
}

void JoinDialog::startJob() {
    m_thread.reset();
    m_job = std::make_unique<JoinJob>(m_request);
    if (m_cancelled)
        m_job->requestStop();
    m_thread = std::make_unique<JobThread>([this] { m_outcome = m_job->run(); });
    m_timer.start();
}

void JoinDialog::onTimer() {
    const JobProgress progress = m_job->progress();
    const std::string target = m_job->targetPath();
    if (!target.empty())
        showElidedText(*m_ui->targetLabel,
                       tr("Recreating %1").arg(fromNative(visibleText(target))));
    m_ui->progressBar->setValue(percentOnMedium(progress));
    if (!m_thread->finished())
        return;
    m_timer.stop();
    if (askedToJoinAgain()) {
        startJob();
        return;
    }
    hide();
    emit joinEnded();
}

void JoinDialog::onSignalWatch() {
    if (!m_interrupted || !m_interrupted())
        return;
    reject();
    // No question or box may keep the program alive once it has been asked to end.
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (box && box != this)
        box->reject();
}

bool JoinDialog::askedToJoinAgain() {
    const auto* refusal = std::get_if<JoinRefusal>(&m_outcome);
    const auto* targetExists = refusal ? std::get_if<join_refusal::TargetExists>(refusal) : nullptr;
    if (!targetExists)
        return false;
    if (askWhereToRecreate(*targetExists))
        return true;
    m_outcome = JoinStopped{};
    return false;
}

JoinOutcome JoinDialog::outcome() {
    m_thread->join();
    return m_outcome;
}

// The window's counterparts of --force and -o.
bool JoinDialog::askWhereToRecreate(const join_refusal::TargetExists& targetExists) {
    const QString question =
        fromNative(joinRefusalText(targetExists, paths::fileNameOf(m_request.scriptPath))) +
        tr(" Replace it, or recreate the file in another folder?");
    switch (prompts().askAboutExistingFile(this, question)) {
    case Prompts::ExistingFileAnswer::Replace:
        m_request.replaceExisting = true;
        return true;
    case Prompts::ExistingFileAnswer::ChooseAnotherFolder:
        if (const auto folder =
                prompts().chooseFolder(this, fromNative(paths::folderOf(targetExists.path)))) {
            m_request.targetFolder = chosenPath(*folder);
            return true;
        }
        return false;
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
    prompts().error(nullptr, fromNative(visibleText(failureText(failure))));
}

void JoinDialog::reject() {
    m_cancelled = true;
    if (m_job)
        m_job->requestStop();
}
