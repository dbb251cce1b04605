#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimeZone>
#include <functional>

class QTimer;

// Tells its owner when the calendar day turns over in the given zone, so pages that count
// "today" and "this week" redraw at midnight even when nothing is logged.
class DayWatcher : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    DayWatcher(Clock clock, QTimeZone zone, QObject *parent = nullptr);

    // Milliseconds until the next local midnight, plus a little so the new day has begun.
    qint64 msecsToNextDay() const;

Q_SIGNALS:
    void dayChanged();

private:
    void arm();

    Clock m_clock;
    QTimeZone m_zone;
    QTimer *m_timer;
};
