#pragma once

#include <string>

#include "engine/SplitHost.h"

class QLabel;

// Runs a split in the main window: progress in a label, and the window's waiting events
// processed whenever the job yields. The label is hidden again when
// the split ends without completing, so it never shows a stale figure.
class SplitProgressLabel final : public SplitHost {
public:
    explicit SplitProgressLabel(QLabel& label);
    ~SplitProgressLabel() override;
    SplitProgressLabel(const SplitProgressLabel&) = delete;
    SplitProgressLabel& operator=(const SplitProgressLabel&) = delete;

    // Keeps the label's final "Done." shown.
    void markCompleted() { m_completed = true; }

    void setProgressText(const std::string& text) override;
    void showProgress() override;
    void processMessages() override;

private:
    QLabel& m_label;
    bool m_completed = false;
};
