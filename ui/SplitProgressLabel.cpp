#include "ui/SplitProgressLabel.h"

#include <QCoreApplication>
#include <QLabel>

#include "ui/NativeText.h"
#include "ui/Prompts.h"

SplitProgressLabel::SplitProgressLabel(QLabel& label, QWidget* owner)
    : m_label(label), m_owner(owner) {}

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

void SplitProgressLabel::information(const std::string& text) {
    prompts().information(m_owner, fromNative(text));
}

void SplitProgressLabel::plainMessage(const std::string& text) {
    prompts().plain(m_owner, fromNative(text));
}
