#include "services/DayWatcher.h"

#include <QTimer>
#include <algorithm>

namespace {
constexpr std::chrono::milliseconds defaultCheckInterval{60 * 1000};
// Timers that wake a little late land safely inside the new day.
constexpr qint64 pastMidnightMs = 500;
} // namespace

DayWatcher::DayWatcher(Clock clock, QTimeZone zone, QObject *parent)
    : QObject(parent), m_clock(std::move(clock)), m_zone(std::move(zone)), m_midnight(new QTimer(this)),
      m_poll(new QTimer(this))
{
    m_midnight->setSingleShot(true);
    m_midnight->setTimerType(Qt::PreciseTimer);
    connect(m_midnight, &QTimer::timeout, this, &DayWatcher::check);
    m_poll->setTimerType(Qt::CoarseTimer);
    m_poll->setInterval(defaultCheckInterval);
    connect(m_poll, &QTimer::timeout, this, &DayWatcher::check);
}

void DayWatcher::setTimeZone(const QTimeZone &zone)
{
    m_zone = zone;
    if (m_started)
        check();
}

void DayWatcher::setCheckInterval(std::chrono::milliseconds interval)
{
    m_poll->setInterval(interval);
}

void DayWatcher::start()
{
    m_today = currentDate();
    m_started = true;
    m_poll->start();
    check();
}

void DayWatcher::check()
{
    if (!m_started)
        return;
    const QDate date = currentDate();
    // QTimer holds an int; a day always fits.
    m_midnight->start(int(std::min<qint64>(msecsToNextDay(), 25 * 3600 * 1000)));
    if (date == m_today)
        return;
    m_today = date;
    Q_EMIT dayChanged(date);
}

qint64 DayWatcher::msecsToNextDay() const
{
    const QDateTime now = m_clock().toTimeZone(m_zone);
    const QDateTime next = now.date().addDays(1).startOfDay(m_zone);
    return std::max<qint64>(1000, now.msecsTo(next) + pastMidnightMs);
}

QDate DayWatcher::currentDate() const
{
    return m_clock().toTimeZone(m_zone).date();
}
