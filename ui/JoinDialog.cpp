#include "ui/JoinDialog.h"

#include <utility>

#include <QDialogButtonBox>

#include "engine/Job.h"
#include "engine/JoinMessages.h"
#include "engine/Progress.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/ScreenCentre.h"
#include "ui_JoinDialog.h"

namespace {

// How often the window reads the job's figures.
constexpr int kTimerMilliseconds = 100;

} // namespace

JoinDialog::JoinDialog(JoinRequest request, std::function<bool()> interrupted)
    : m_ui(std::make_unique<Ui::JoinDialog>()), m_request(std::move(request)),
      m_interrupted(std::move(interrupted)), m_job(m_request) {
    m_ui->setupUi(this);
    m_ui->targetLabel->setText(tr("Reading %1").arg(fromNative(m_request.scriptPath)));
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &JoinDialog::reject);
    m_timer.setInterval(kTimerMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] { onTimer(); });
    centreOnScreen(*this);
}

JoinDialog::~JoinDialog() {
    m_job.requestStop();
}

void JoinDialog::start() {
    show();
    m_thread = std::make_unique<JobThread>([this] { m_outcome = m_job.run(); });
    m_timer.start();
}

void JoinDialog::onTimer() {
    if (m_interrupted && m_interrupted())
        m_job.requestStop();
    const JobProgress progress = m_job.progress();
    const std::string target = m_job.targetPath();
    if (!target.empty())
        m_ui->targetLabel->setText(tr("Recreating %1").arg(fromNative(target)));
    m_ui->progressBar->setValue(percentOnMedium(progress));
    if (!m_thread->finished())
        return;
    m_timer.stop();
    hide();
    emit joinEnded();
}

JoinOutcome JoinDialog::outcome() {
    m_thread->join();
    return m_outcome;
}

void JoinDialog::showResult(const JoinOutcome& outcome) {
    if (const auto* completion = std::get_if<JoinCompletion>(&outcome))
        prompts().information(nullptr, fromNative(joinCompletionText(*completion)));
    if (const auto* refusal = std::get_if<JoinRefusal>(&outcome))
        prompts().error(nullptr, fromNative(joinRefusalText(
                                     *refusal, paths::fileNameOf(m_request.scriptPath))));
}

void JoinDialog::showFailure(const IoError& failure) {
    prompts().error(nullptr, fromNative(failure.what()));
}

void JoinDialog::reject() {
    m_job.requestStop();
}
