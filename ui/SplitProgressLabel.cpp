#include "ui/SplitProgressLabel.h"

#include <QLabel>

#include "engine/Job.h"
#include "ui/NativeText.h"
#include "wording/ProgressMessages.h"

SplitProgressLabel::SplitProgressLabel(QLabel& label) : m_label(label) {
    m_label.setText(QString());
    m_label.show();
}

SplitProgressLabel::~SplitProgressLabel() {
    if (!m_completed)
        m_label.hide();
}

void SplitProgressLabel::show(const JobProgress& progress) {
    const QString text = fromNative(splitProgressText(progress));
    // Set only when changed: every change is read out by a screen reader.
    if (text != m_label.text())
        m_label.setText(text);
}

void SplitProgressLabel::markCompleted() {
    m_completed = true;
    m_label.setText(fromNative(kPieceDoneText));
}
