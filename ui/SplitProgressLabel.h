#pragma once

struct JobProgress;
class QLabel;

// The main window's progress label during a split, written from the job's figures. The label is
// hidden again when the split ends without completing, so it never shows a stale figure.
class SplitProgressLabel {
public:
    explicit SplitProgressLabel(QLabel& label);
    ~SplitProgressLabel();
    SplitProgressLabel(const SplitProgressLabel&) = delete;
    SplitProgressLabel& operator=(const SplitProgressLabel&) = delete;

    void show(const JobProgress& progress);
    // Keeps the label's final "Done." shown.
    void markCompleted();

private:
    QLabel& m_label;
    bool m_completed = false;
};
