#include "features/overview/WeekChartData.h"

#include "services/Copy.h"
#include "services/DateSkeleton.h"
#include "services/WeeklyReport.h"

#include <QLocale>

WeekChartData WeekChartData::compute(const Analytics &analytics, int offset)
{
    WeekChartData d;
    d.offset = offset;
    d.interval = analytics.week(offset);
    d.days = analytics.days(d.interval);
    QList<int> counts;
    QList<bool> future;
    for (const DayBucket &day : std::as_const(d.days)) {
        d.dayNames << formatSkeleton(analytics.cal.toLocal(day.date), QStringLiteral("EEE"));
        counts << day.count;
        future << day.isFuture;
    }
    d.summary = WeekChartValues::summarize(counts, future);
    return d;
}

QString WeekChartData::title() const
{
    if (offset == 0 || offset == -1)
        return WeekChartValues::weekTitle(offset, {});
    return WeekChartValues::weekTitle(offset, WeeklyReport::rangeLabel(interval));
}

QString WeekChartData::totalText() const
{
    return QStringLiteral("\u26a1 Total: ") + QLocale().toString(summary.total);
}

QString WeekChartData::hint() const
{
    return summary.total != 0 ? QStringLiteral("Hover a day for the gory details.")
                              : QStringLiteral("Nothing logged this week. Suspicious.");
}

int WeekChartData::indexOf(const QString &dayName) const
{
    return dayName.isEmpty() ? -1 : int(dayNames.indexOf(dayName));
}

WeekChartData::DayDetail WeekChartData::detail(int index, const Analytics &analytics,
                                               const QList<Trigger> &triggers) const
{
    if (index < 0 || index >= days.size())
        return {};
    const DayBucket &day = days[index];
    DateInterval span = analytics.cal.dayInterval(day.date);
    if (!span.start.isValid() || !span.end.isValid())
        span = {day.date, day.date.addSecs(1)};
    const EventSnapshot events = analytics.eventsIn(span);

    QList<VorpEvent> filed;
    for (const VorpEvent &e : events)
        if (e.triggerKey)
            filed << e;
    std::optional<WeekChartValues::TopTrigger> top;
    if (const QList<CountItem> ranked = Analytics::triggerCounts(filed, triggers); !ranked.isEmpty())
        top = WeekChartValues::TopTrigger{ranked.first().emoji.value_or(QString()), ranked.first().name};

    const bool isWorst = summary.worstIndex >= 0 && days[summary.worstIndex].date == day.date;
    return {Copy::dayLine(day, summary.average, isWorst),
            WeekChartValues::dayFacts(day.count, Analytics::peakTime(events, analytics.cal), top)};
}
