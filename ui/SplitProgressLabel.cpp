#include "ui/SplitProgressLabel.h"

#include <QLabel>
#include <QString>

#include "engine/Job.h"
#include "ui/NativeText.h"
#include "ui/WindowText.h"
#include "wording/ProgressMessages.h"

SplitProgressLabel::SplitProgressLabel(QLabel& label) : m_label(label) {
    showText(QString());
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
        showText(text);
}

void SplitProgressLabel::markCompleted() {
    m_completed = true;
    showText(fromNative(pieceDoneText()));
}

// Named by its figure, and before the first one by what it is: a label without a name is
// spoken by its frame's title.
void SplitProgressLabel::showText(const QString& text) {
    m_label.setText(text);
    m_label.setAccessibleName(text.isEmpty() ? orvantoText("Split progress") : text);
}
