#include "MessageGaps.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

MessageGaps::~MessageGaps() {
    QObject::disconnect(m_connection);
}

bool MessageGaps::dispatcherAnnouncesCalls() {
    constexpr int probeCalls = 100;
    int announced = 0;
    const auto connection =
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                         [&announced] { ++announced; });
    for (int call = 0; call < probeCalls; ++call)
        QCoreApplication::processEvents();
    QObject::disconnect(connection);
    return announced == probeCalls;
}

void MessageGaps::start() {
    m_calls = 0;
    m_longIntervals = 0;
    m_longest = {};
    m_last = std::chrono::steady_clock::now();
    // A direct connection: the slot runs inside the processEvents() call it times.
    m_connection = QObject::connect(QAbstractEventDispatcher::instance(),
                                    &QAbstractEventDispatcher::awake, [this] {
                                        ++m_calls;
                                        mark();
                                    });
}

void MessageGaps::stop() {
    QObject::disconnect(m_connection);
    mark();
}

double MessageGaps::longestMilliseconds() const {
    return std::chrono::duration<double, std::milli>(m_longest).count();
}

void MessageGaps::mark() {
    constexpr auto longInterval = std::chrono::milliseconds(20);
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last > m_longest)
        m_longest = now - m_last;
    if (now - m_last > longInterval)
        ++m_longIntervals;
    m_last = now;
}
