#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QTimeZone>
#include <chrono>
#include <functional>

class QTimer;

// The program's one source of "a new day began". It compares the date of its clock in its zone
// with the date it saw last: a timer aimed just past the next midnight gives the moment itself,
// and a coarse check every minute notices what that timer misses, a machine resumed from suspend
// (timers stand still while it sleeps) and a clock that was set. A clock set back to an earlier
// date counts as a change too: "today" is then that date again.
class DayWatcher : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    DayWatcher(Clock clock, QTimeZone zone, QObject *parent = nullptr);

    // A new zone may mean another date; it is checked at once (when started).
    void setTimeZone(const QTimeZone &zone);
    QTimeZone timeZone() const { return m_zone; }
    // How often the date is looked at besides midnight (one minute).
    void setCheckInterval(std::chrono::milliseconds interval);

    // Takes today's date from the clock and starts watching.
    void start();
    bool isStarted() const { return m_started; }
    // The date seen last.
    QDate today() const { return m_today; }

    // Looks at the clock now: dayChanged() when its date is not the one seen last. Aims the
    // midnight timer again either way. Nothing before start().
    void check();

    // Milliseconds from the clock's now until just after the next local midnight (at least 1 s).
    qint64 msecsToNextDay() const;

Q_SIGNALS:
    void dayChanged(QDate today);

private:
    QDate currentDate() const;

    Clock m_clock;
    QTimeZone m_zone;
    QDate m_today;
    QTimer *m_midnight;
    QTimer *m_poll;
    bool m_started = false;
};
