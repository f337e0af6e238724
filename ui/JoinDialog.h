#pragma once

#include <exception>
#include <functional>
#include <memory>

#include <QDialog>
#include <QTimer>

#include "engine/JoinJob.h"
#include "platform/JobThread.h"

namespace Ui {
class JoinDialog;
}

// orvanto-join's window: the file being recreated, a progress bar and Cancel while the pieces
// are copied, then a box with the result.
class JoinDialog final : public QDialog {
    Q_OBJECT
public:
    // interrupted is asked a few times a second while the window lives (a signal to the process);
    // true cancels the join, as Cancel does, and closes any box that waits for an answer.
    JoinDialog(JoinRequest request, std::function<bool()> interrupted);
    // A join still running stops and removes its temporary file.
    ~JoinDialog() override;

    // Shows the window and starts the join on a thread of its own; joinEnded() comes when it has
    // ended and the window is hidden again. When the file to recreate exists, asks whether to
    // replace it or to recreate it in another folder, and joins again as answered.
    void start();
    // How the join ended; failures throw IoError.
    JoinOutcome outcome();
    // An information box for a completion, an error box for a refusal, none after a cancel.
    void showResult(const JoinOutcome& outcome);
    // The error box of a failure.
    void showFailure(const std::exception& failure);

    // Closing the window cancels the join.
    void reject() override;

signals:
    void joinEnded();

private:
    void startJob();
    // Shows the job's figures, and hides the window once the job has ended.
    void onTimer();
    // After a stop signal: cancels the join and closes any box that waits for an answer.
    void onSignalWatch();
    // True when the file to recreate exists and the user chose to replace it or another folder.
    bool askedToJoinAgain();

    // Changes the request as the user answers; false when they cancel.
    bool askWhereToRecreate(const join_refusal::TargetExists& targetExists);

    std::unique_ptr<Ui::JoinDialog> m_ui;
    JoinRequest m_request;
    const std::function<bool()> m_interrupted;
    // Cancel may come before the job exists.
    bool m_cancelled = false;
    std::unique_ptr<JoinJob> m_job;
    JoinOutcome m_outcome = JoinStopped{};
    QTimer m_timer;
    QTimer m_signalWatch;
    // Last, so that the thread has ended before what it uses goes.
    std::unique_ptr<JobThread> m_thread;
};
