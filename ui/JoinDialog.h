#pragma once

#include <exception>
#include <functional>
#include <memory>

#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>

#include "engine/JobRunner.h"
#include "engine/JoinJob.h"

namespace Ui {
class JoinDialog;
}

// orvanto-join's window: the file being recreated, a progress bar and Cancel while the pieces
// are copied, then a box with the result.
class JoinDialog final : public QDialog {
    Q_OBJECT
public:
    explicit JoinDialog(JoinRequest request);
    // A join still running stops and removes its temporary file.
    ~JoinDialog() override;

    // Shows the window and starts the join on a thread of its own; joinEnded() comes when it has
    // ended and the window is hidden again. When the file to recreate exists, asks whether to
    // replace it or to recreate it in another folder, and joins again as answered; an answer
    // holds for that file and that run only. A failure is shown at once, with the choice of
    // another folder.
    void start();
    // How the last run ended, once joinEnded() has come; failures throw IoError.
    JoinOutcome outcome() const;
    // An information box for a completion, an error box for a refusal, none after a cancel.
    void showResult(const JoinOutcome& outcome);
    // The error box of a failure, unless the window has shown it already.
    void showFailure(const std::exception& failure);

    // Closing the window cancels the join.
    void reject() override;
    // After a stop signal: cancels the join and closes any box that waits for an answer.
    void interrupt();
    // What the running join has made, for a program that gives up on it; empty without one.
    CreatedFiles madeByJoin() const;

signals:
    void joinEnded();

private:
    void startJob();
    // Shows the job's figures.
    void showProgress();
    // Takes the run's result, asks what the user wants of a refusal or a failure, and joins
    // again or hides the window.
    void onJobEnded();
    // True when the user chose to join again: to replace the file in the way or to use another
    // folder after a refusal or a failure.
    bool askedToJoinAgain();

    // Changes the request as the user answers; false when they cancel.
    bool askWhereToRecreate(const join_refusal::TargetExists& targetExists);
    // Shows the failure and offers another folder; false when the user declines.
    bool offerAnotherFolder(const std::exception_ptr& failure);
    bool chooseAnotherFolder(const std::string& initialFolder);

    std::unique_ptr<Ui::JoinDialog> m_ui;
    JoinRequest m_request;
    // Cancel may come before the job exists.
    bool m_cancelled = false;
    bool m_failureShown = false;
    QTimer m_timer;
    // One for each run: its outcome is never mistaken for an earlier run's.
    std::unique_ptr<JobRunner<JoinJob>> m_runner;
    // Fires once the run has ended; switched off at its first call, and gone before its runner.
    std::unique_ptr<QSocketNotifier> m_ended;
    // The last run's result, taken from its runner once.
    JoinOutcome m_outcome = JoinStopped{};
    std::exception_ptr m_failure;
};
