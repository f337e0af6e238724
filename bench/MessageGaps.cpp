#include "MessageGaps.h"

#include <QAbstractEventDispatcher>

MessageGaps::~MessageGaps() {
    stop();
}

void MessageGaps::start() {
    m_wakeUps = 0;
    m_longStretches = 0;
    m_longest = {};
    // Measured from the start: the click that starts the split is such a stretch.
    m_busy = true;
    m_busySince = std::chrono::steady_clock::now();
    auto* dispatcher = QAbstractEventDispatcher::instance();
    m_awake = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [this] {
        ++m_wakeUps;
        if (!m_busy) {
            m_busy = true;
            m_busySince = std::chrono::steady_clock::now();
        }
    });
    m_aboutToBlock =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { end(); });
}

void MessageGaps::stop() {
    QObject::disconnect(m_awake);
    QObject::disconnect(m_aboutToBlock);
    end();
}

double MessageGaps::longestMilliseconds() const {
    return std::chrono::duration<double, std::milli>(m_longest).count();
}

void MessageGaps::end() {
    if (!m_busy)
        return;
    m_busy = false;
    constexpr auto longStretch = std::chrono::milliseconds(16);
    const auto stretch = std::chrono::steady_clock::now() - m_busySince;
    if (stretch > m_longest)
        m_longest = stretch;
    if (stretch > longStretch)
        ++m_longStretches;
}
