#pragma once

struct JobProgress;
class QLabel;
class QString;

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
    // Shows "Done.", once the job has ended with every file on the medium, and keeps it shown.
    void markCompleted();

private:
    void showText(const QString& text);

    QLabel& m_label;
    bool m_completed = false;
};
