#include "NotificationService.h"

#include "models/Calendar.h"
#include "models/CalendarKeys.h"
#include "models/Prefs.h"
#include "platform/Notifier.h"
#include "services/Analytics.h"

#include <QPointer>

namespace {

const QString reportRoute = QStringLiteral("report");

constexpr int friday = 6;
constexpr int reportHour = 16;
constexpr int calmHour = 17;

} // namespace

NotificationService::NotificationService(Notifier &notifier, Prefs &prefs, QObject *parent)
    : QObject(parent), m_notifier(notifier), m_prefs(prefs),
      m_clock([] { return QDateTime::currentDateTimeUtc(); }), m_zone(QTimeZone::systemTimeZone())
{
    m_timer.setInterval(tickIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &NotificationService::tick);
    connect(&m_notifier, &Notifier::clicked, this, &NotificationService::openFromNotice);
}

void NotificationService::start()
{
    if (m_timer.isActive())
        return;
    m_timer.start();
    tick();
}

EventSnapshot NotificationService::events() const
{
    return m_host ? m_host->allEvents() : EventSnapshot();
}

void NotificationService::tick()
{
    if (m_host)
        m_host->refreshTodayCount();
    const QDateTime now = m_clock();
    const Calendar cal(m_zone);
    const int weekday = cal.weekday(now);
    const int hour = cal.hour(now);
    checkWeeklyReport(now, weekday, hour);
    checkCalmDay(now, weekday, hour);
}

void NotificationService::checkWeeklyReport(const QDateTime &now, int weekday, int hour)
{
    if (!m_prefs.notifyFriday() || weekday != friday || hour < reportHour)
        return;
    const QString week = weekKey(now, m_zone);
    if (m_prefs.lastFridayReport() == week)
        return;
    // Marked before sending: a notice that cannot be shown is not retried this week.
    m_prefs.setLastFridayReport(week);
    const Analytics analytics{events(), Calendar(m_zone), m_clock()};
    const int count = analytics.countIn(analytics.week(0));
    send(QStringLiteral("Your weekly Grumblix report"), reportBody(count), reportRoute);
}

void NotificationService::checkCalmDay(const QDateTime &now, int weekday, int hour)
{
    if (!m_prefs.notifyCalm() || !Calendar::isWorkday(weekday) || hour < calmHour)
        return;
    const QString day = dayKey(now, m_zone);
    if (m_prefs.lastCalmDay() == day)
        return;
    const EventSnapshot all = events();
    if (all.isEmpty())
        return;
    // A calm day only means something once there is some history to compare with.
    QDateTime oldest = all.first().timestamp;
    for (const VorpEvent &event : all)
        oldest = qMin(oldest, event.timestamp);
    if (oldest.secsTo(now) <= calmHistorySecs)
        return;
    const int today = Analytics{all, Calendar(m_zone), m_clock()}.todayCount();
    if (today >= 2)
        return;
    m_prefs.setLastCalmDay(day);
    send(QStringLiteral("Unusually calm day"), calmBody(today));
}

QString NotificationService::reportBody(int count)
{
    if (count == 0)
        return QStringLiteral("0 vorps were given this week. Suspicious. Your report is ready anyway.");
    return QStringLiteral("%1 %2 given this week. Your report is ready.")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("vorp was") : QStringLiteral("vorps were"));
}

QString NotificationService::calmBody(int count)
{
    return count == 0 ? QStringLiteral("Zero today. What happened? Vacation?")
                      : QStringLiteral("Only %1 today. What happened? Vacation?").arg(count);
}

void NotificationService::send(const QString &title, const QString &body, const QString &route)
{
    const Notice notice{title, body, route};
    QPointer<NotificationService> self(this);
    m_notifier.queryAuthorized([self, notice](bool authorized) {
        if (self && authorized)
            self->m_notifier.post(notice);
    });
}

void NotificationService::requestAuthorization()
{
    m_notifier.requestAuthorization();
}

void NotificationService::openFromNotice(const QString &route)
{
    if (m_host)
        m_host->openDashboard(route == reportRoute ? reportRoute : QStringLiteral("overview"));
}
