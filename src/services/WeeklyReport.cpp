#include "WeeklyReport.h"

#include "services/Analytics.h"
#include "services/Copy.h"
#include "services/DateSkeleton.h"

namespace {

// Scans in order and replaces the choice only with a strictly better bucket, so the earliest wins a tie.
std::optional<DayBucket> pick(const QList<DayBucket> &buckets, bool (*better)(int, int))
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

WeeklyReport WeeklyReport::build(const EventSnapshot &events, const QList<Trigger> &triggers,
                                 int weekOffset, const QDateTime &now, const Calendar &cal)
{
    const Analytics all{events, cal, now};
    WeeklyReport report;
    report.interval = all.week(weekOffset);
    const DateInterval previous = all.week(weekOffset - 1);

    // One pass over the whole history; everything after it reads only this week's incidents.
    const qint64 from = Calendar::msecs(report.interval.start);
    const qint64 to = Calendar::msecs(report.interval.end);
    const qint64 previousFrom = Calendar::msecs(previous.start);
    const qint64 previousTo = Calendar::msecs(previous.end);
    QList<VorpEvent> week;
    for (const VorpEvent &event : events) {
        const qint64 t = Calendar::msecs(event.timestamp);
        if (from <= t && t < to)
            week.append(event);
        else if (previousFrom <= t && t < previousTo)
            ++report.previousTotal;
    }
    report.days = Analytics{week, cal, now}.days(report.interval);

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
    report.worstDay = pick(active, [](int count, int best) { return count > best; });

    QList<DayBucket> candidates;
    for (const DayBucket &day : std::as_const(past)) {
        if (Calendar::isWorkday(Calendar::weekday(day.date.date())) && !day.isToday &&
            (!report.worstDay || day.date != report.worstDay->date))
            candidates.append(day);
    }
    report.calmestDay = pick(candidates, [](int count, int best) { return count < best; });

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
