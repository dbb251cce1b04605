#include "WeeklyReport.h"

#include "services/Analytics.h"
#include "services/Copy.h"
#include "services/DateSkeleton.h"

namespace {

// The earliest bucket that no later one beats.
std::optional<DayBucket> first(const QList<DayBucket> &buckets, bool (*better)(int, int))
{
    std::optional<DayBucket> chosen;
    for (const DayBucket &bucket : buckets) {
        if (!chosen || better(bucket.count, chosen->count))
            chosen = bucket;
    }
    return chosen;
}

} // namespace

std::optional<int> WeeklyReport::changePercent() const
{
    return Analytics::percentChange(total, previousTotal);
}

QString WeeklyReport::rangeText() const
{
    return rangeLabel(interval).toUpper();
}

QString WeeklyReport::rangeLabel(const DateInterval &interval)
{
    const QString skeleton = QStringLiteral("MMMd");
    return formatSkeleton(interval.start, skeleton) + QStringLiteral(" \u2013 ") +
           formatSkeleton(interval.end.addSecs(-1), skeleton);
}

WeeklyReport WeeklyReport::build(const QList<VorpEvent> &events, const QList<Trigger> &triggers,
                                 int weekOffset, const QDateTime &now, const Calendar &cal)
{
    const Analytics a{events, cal, now};
    WeeklyReport report;
    report.interval = a.week(weekOffset);
    const QList<VorpEvent> week = a.eventsIn(report.interval);
    report.previousTotal = a.countIn(a.week(weekOffset - 1));
    report.days = a.days(report.interval);

    QList<DayBucket> past;
    for (const DayBucket &day : std::as_const(report.days)) {
        if (!day.isFuture)
            past.append(day);
    }
    QList<DayBucket> active;
    for (const DayBucket &day : std::as_const(past)) {
        if (day.count >= 1)
            active.append(day);
    }
    report.worstDay = first(active, [](int count, int best) { return count > best; });

    QList<DayBucket> candidates;
    for (const DayBucket &day : std::as_const(past)) {
        if (Calendar::isWorkday(Calendar::weekday(day.date.date())) && !day.isToday &&
            (!report.worstDay || day.date != report.worstDay->date))
            candidates.append(day);
    }
    report.calmestDay = first(candidates, [](int count, int best) { return count < best; });

    QList<VorpEvent> withTrigger;
    QList<VorpEvent> withApp;
    for (const VorpEvent &event : week) {
        if (event.triggerKey)
            withTrigger.append(event);
        if (event.appName)
            withApp.append(event);
    }
    report.triggers = Analytics::triggerCounts(withTrigger, triggers);
    report.apps = Analytics::appCounts(withApp);
    const QList<int> hours = Analytics::hourHistogram(week, cal);
    report.total = int(week.size());
    report.peakTime = Analytics::peakTime(week, cal);
    if (!report.triggers.isEmpty())
        report.topTrigger = report.triggers.first();
    if (!report.apps.isEmpty())
        report.topApp = report.apps.first();
    report.verdict = Copy::verdict(report);
    report.observations = Copy::observations(report.total, report.triggers, report.apps, hours, report.days,
                                             report.previousTotal);
    return report;
}
