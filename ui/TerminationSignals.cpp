#include "ui/TerminationSignals.h"

#include <utility>

#include <QSocketNotifier>

namespace {

// Once is enough: the descriptor stays readable.
std::unique_ptr<QSocketNotifier> notifierOnce(int descriptor, std::function<void()> action) {
    auto notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    QSocketNotifier* fired = notifier.get();
    QObject::connect(fired, &QSocketNotifier::activated, [fired, action = std::move(action)] {
        fired->setEnabled(false);
        action();
    });
    return notifier;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onTermination,
                                       std::function<void()> onGiveUp)
    : m_terminated(notifierOnce(m_signals.wakeUpDescriptor(), std::move(onTermination))),
      m_givingUp(notifierOnce(m_signals.giveUpDescriptor(), std::move(onGiveUp))) {
    m_signals.watchGiveUp();
}

TerminationSignals::~TerminationSignals() = default;
