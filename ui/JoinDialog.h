#pragma once

#include <functional>
#include <memory>

#include <QDialog>

#include "engine/JoinJob.h"

namespace Ui {
class JoinDialog;
}

// orvanto-join's window: the file being recreated, a progress bar and Cancel while the pieces
// are copied, then a box with the result.
class JoinDialog final : public QDialog, private JoinProgress {
    Q_OBJECT
public:
    enum class Result { Completed, NotCompleted, Failed };

    // interrupted is asked with each step as well as Cancel (a signal to the process).
    JoinDialog(JoinRequest request, std::function<bool()> interrupted);
    ~JoinDialog() override;

    // Shows the window, joins, closes it and shows the box of the result; a cancel shows none.
    Result run();

    // Closing the window cancels the join.
    void reject() override;

private:
    void startCopying(const std::string& targetPath) override;
    void showProgress(std::int64_t copied, std::int64_t total) override;
    bool stopRequested() override;
    Result report(const JoinOutcome& outcome);

    std::unique_ptr<Ui::JoinDialog> m_ui;
    const JoinRequest m_request;
    const std::function<bool()> m_interrupted;
    bool m_cancelled = false;
};
