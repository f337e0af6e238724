#include "ui/SplitProgressLabel.h"

#include <QCoreApplication>
#include <QLabel>

#include "ui/NativeText.h"

SplitProgressLabel::SplitProgressLabel(QLabel& label) : m_label(label) {}

SplitProgressLabel::~SplitProgressLabel() {
    if (!m_completed)
        m_label.hide();
}

void SplitProgressLabel::setProgressText(const std::string& text) {
    // The job reports only texts that changed.
    m_label.setText(fromNative(text));
}

void SplitProgressLabel::showProgress() {
    m_label.show();
}

void SplitProgressLabel::processMessages() {
    QCoreApplication::processEvents();
}
