#pragma once

struct JobProgress;
class QLabel;

// A view of the main window's progress label: it shows the figures a split job reports and runs
// nothing itself. The label is hidden again when the split ends without completing, so it never
// shows a stale figure.
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
