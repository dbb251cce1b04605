#include "ui/DayWatcher.h"

#include <QTimer>
#include <algorithm>

DayWatcher::DayWatcher(Clock clock, QTimeZone zone, QObject *parent)
    : QObject(parent), m_clock(std::move(clock)), m_zone(std::move(zone)), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::CoarseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] {
        Q_EMIT dayChanged();
        arm();
    });
    arm();
}

qint64 DayWatcher::msecsToNextDay() const
{
    const QDateTime now = m_clock().toTimeZone(m_zone);
    const QDateTime next = now.date().addDays(1).startOfDay(m_zone);
    return std::max<qint64>(1000, now.msecsTo(next) + 1000);
}

void DayWatcher::arm()
{
    // Timers hold an int; a day always fits.
    m_timer->start(int(std::min<qint64>(msecsToNextDay(), 25 * 3600 * 1000)));
}
