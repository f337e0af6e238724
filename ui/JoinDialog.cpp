#include "ui/JoinDialog.h"

#include <utility>

#include <QCoreApplication>
#include <QDialogButtonBox>

#include "engine/Progress.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/ScreenCentre.h"
#include "ui_JoinDialog.h"
#include "wording/JoinMessages.h"

JoinDialog::JoinDialog(JoinRequest request, std::function<bool()> interrupted)
    : m_ui(std::make_unique<Ui::JoinDialog>()), m_request(std::move(request)),
      m_interrupted(std::move(interrupted)) {
    m_ui->setupUi(this);
    m_ui->targetLabel->setText(tr("Reading %1").arg(fromNative(m_request.scriptPath)));
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &JoinDialog::reject);
    centreOnScreen(*this);
}

JoinDialog::~JoinDialog() = default;

JoinOutcome JoinDialog::join() {
    show();
    try {
        const JoinOutcome outcome = joinPieces(m_request, *this);
        hide();
        return outcome;
    } catch (const IoError&) {
        hide();
        throw;
    }
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
    m_cancelled = true;
}

void JoinDialog::startCopying(const std::string& targetPath) {
    m_ui->targetLabel->setText(tr("Recreating %1").arg(fromNative(targetPath)));
}

void JoinDialog::showProgress(std::int64_t copied, std::int64_t total) {
    m_ui->progressBar->setValue(total > 0 ? progressPercent(copied, total) : 100);
    // The copy runs in this thread; Cancel and repaints get their turn after each step.
    QCoreApplication::processEvents();
}

bool JoinDialog::stopRequested() {
    return m_cancelled || (m_interrupted && m_interrupted());
}
