#include "ui/TerminationSignals.h"

#include <utility>

#include <QSocketNotifier>

TerminationSignals::TerminationSignals(std::function<void()> onTermination)
    : m_onTermination(std::move(onTermination)),
      m_notifier(
          std::make_unique<QSocketNotifier>(m_signals.wakeUpDescriptor(), QSocketNotifier::Read)) {
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        // Once is enough: the descriptor stays readable.
        m_notifier->setEnabled(false);
        m_onTermination();
    });
}

TerminationSignals::~TerminationSignals() = default;
