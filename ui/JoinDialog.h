#pragma once

#include <functional>
#include <memory>

#include <QDialog>

#include "engine/JoinJob.h"

class IoError;

namespace Ui {
class JoinDialog;
}

// orvanto-join's window: the file being recreated, a progress bar and Cancel while the pieces
// are copied, then a box with the result.
class JoinDialog final : public QDialog, private JoinProgress {
    Q_OBJECT
public:
    // interrupted is asked with each step as well as Cancel (a signal to the process).
    JoinDialog(JoinRequest request, std::function<bool()> interrupted);
    ~JoinDialog() override;

    // Shows the window while the pieces are copied, and hides it; failures throw IoError. When
    // the file to recreate exists, asks whether to replace it or to choose another folder.
    JoinOutcome join();
    // An information box for a completion, an error box for a refusal, none after a cancel.
    void showResult(const JoinOutcome& outcome);
    // The error box of a failure.
    void showFailure(const IoError& failure);

    // Closing the window cancels the join.
    void reject() override;

private:
    void startCopying(const std::string& targetPath) override;
    void showProgress(std::int64_t copied, std::int64_t total) override;
    bool stopRequested() override;

    // Changes the request as the user answers; false when they cancel.
    bool askWhereToRecreate(const JoinRefusal& targetExists);

    std::unique_ptr<Ui::JoinDialog> m_ui;
    JoinRequest m_request;
    const std::function<bool()> m_interrupted;
    bool m_cancelled = false;
};
