#include "ui/JoinDialog.h"

#include <utility>

#include <QCoreApplication>
#include <QDialogButtonBox>

#include "engine/Progress.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "ui/DesktopTextScale.h"
#include "ui/ElidedText.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/ScreenCentre.h"
#include "ui_JoinDialog.h"
#include "wording/JoinMessages.h"

namespace {

bool targetExists(const JoinOutcome& outcome) {
    const auto* refusal = std::get_if<JoinRefusal>(&outcome);
    return refusal && refusal->kind == JoinRefusal::Kind::TargetExists;
}

} // namespace

JoinDialog::JoinDialog(JoinRequest request, std::function<bool()> interrupted)
    : m_ui(std::make_unique<Ui::JoinDialog>()), m_request(std::move(request)),
      m_interrupted(std::move(interrupted)) {
    m_ui->setupUi(this);
    scaleFormToDesktopText(*this);
    showElidedText(*m_ui->targetLabel, tr("Reading %1").arg(fromNative(m_request.scriptPath)));
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &JoinDialog::reject);
    centreOnScreen(*this);
}

JoinDialog::~JoinDialog() = default;

JoinOutcome JoinDialog::join() {
    show();
    try {
        JoinOutcome outcome = joinPieces(m_request, *this);
        while (targetExists(outcome)) {
            if (!askWhereToRecreate(std::get<JoinRefusal>(outcome))) {
                outcome = JoinStopped{};
                break;
            }
            outcome = joinPieces(m_request, *this);
        }
        hide();
        return outcome;
    } catch (const IoError&) {
        hide();
        throw;
    }
}

// The window's counterparts of --force and -o.
bool JoinDialog::askWhereToRecreate(const JoinRefusal& targetExists) {
    const QString question =
        fromNative(joinRefusalText(targetExists, paths::fileNameOf(m_request.scriptPath))) +
        tr(" Replace it, or recreate the file in another folder?");
    switch (prompts().askAboutExistingFile(this, question)) {
    case Prompts::ExistingFileAnswer::Replace:
        m_request.replaceExisting = true;
        return true;
    case Prompts::ExistingFileAnswer::ChooseAnotherFolder:
        if (const auto folder =
                prompts().chooseFolder(this, fromNative(paths::folderOf(targetExists.name)))) {
            m_request.targetFolder = toNative(*folder);
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

void JoinDialog::showFailure(const IoError& failure) {
    prompts().error(nullptr, fromNative(failure.what()));
}

void JoinDialog::reject() {
    m_cancelled = true;
}

void JoinDialog::startCopying(const std::string& targetPath) {
    showElidedText(*m_ui->targetLabel, tr("Recreating %1").arg(fromNative(targetPath)));
}

void JoinDialog::showProgress(std::int64_t copied, std::int64_t total) {
    m_ui->progressBar->setValue(total > 0 ? progressPercent(copied, total) : 100);
    // The copy runs in this thread; Cancel and repaints get their turn after each step.
    QCoreApplication::processEvents();
}

bool JoinDialog::stopRequested() {
    return m_cancelled || (m_interrupted && m_interrupted());
}
