#pragma once

#include "models/EventSnapshot.h"
#include "models/VorpEvent.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimeZone>
#include <QTimer>
#include <functional>

class Notifier;
class Prefs;

// What the notification service needs of the application around it.
class NotificationHost
{
public:
    virtual ~NotificationHost() = default;

    // Every stored incident, oldest first; empty when they cannot be read.
    virtual EventSnapshot allEvents() const = 0;
    // Redraws today's count on the tray item, if there is one.
    virtual void refreshTodayCount() = 0;
    // Closes the tray panel and shows the dashboard on the page with this raw value.
    virtual void openDashboard(const QString &page) = 0;
};

// The program's only contact with desktop notifications: a minute tick that refreshes the tray
// count and sends the Friday report and calm-day notices, immediate notices on request, and the
// click that opens the dashboard.
class NotificationService : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    NotificationService(Notifier &notifier, Prefs &prefs, QObject *parent = nullptr);

    void setHost(NotificationHost *host) { m_host = host; }
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setTimeZone(const QTimeZone &zone) { m_zone = zone; }

    // Starts the minute timer and runs one tick at once, so a due notice goes out at launch.
    void start();
    // The minute's work: the tray count, then the weekly report and the calm-day notices.
    void tick();

    // Shows a notice if notifications are available; returns at once and never prompts. A null
    // route opens the overview when the notice is clicked.
    void send(const QString &title, const QString &body, const QString &route = QString());
    // Checks that notifications can be shown; the answer is not used.
    void requestAuthorization();

    // The weekly report notice's body for n incidents this week.
    static QString reportBody(int count);
    // The calm-day notice's body for 0 or 1 incidents today.
    static QString calmBody(int count);

    static constexpr int tickIntervalMs = 60 * 1000;
    // The calm-day notice needs a record older than this.
    static constexpr qint64 calmHistorySecs = 72 * 60 * 60;

private:
    void checkWeeklyReport(const QDateTime &now, int weekday, int hour);
    void checkCalmDay(const QDateTime &now, int weekday, int hour);
    void openFromNotice(const QString &route);
    EventSnapshot events() const;

    Notifier &m_notifier;
    Prefs &m_prefs;
    NotificationHost *m_host = nullptr;
    Clock m_clock;
    QTimeZone m_zone;
    QTimer m_timer;
};
