#include "WeeklyReport.h"

#include "services/Analytics.h"

std::optional<int> WeeklyReport::changePercent() const
{
    return Analytics::percentChange(total, previousTotal);
}

QString WeeklyReport::rangeText() const
{
    return rangeLabel(interval).toUpper();
}

WeeklyReport WeeklyReport::build(const QList<VorpEvent> &events, const QList<Trigger> &triggers,
                                 int weekOffset, const QDateTime &now, const Calendar &cal)
{
    Q_UNUSED(triggers);
    const Analytics a{events, cal, now};
    WeeklyReport report;
    report.interval = a.week(weekOffset);
    report.total = a.countIn(report.interval);
    report.previousTotal = a.countIn(a.week(weekOffset - 1));
    report.days = a.days(report.interval);
    return report;
}

QString WeeklyReport::rangeLabel(const DateInterval &interval)
{
    return interval.start.toString(QStringLiteral("MMM d")) + QStringLiteral(" \u2013 ") +
           interval.end.addSecs(-1).toString(QStringLiteral("MMM d"));
}
