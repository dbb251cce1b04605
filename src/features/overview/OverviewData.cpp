#include "features/overview/OverviewData.h"

#include "services/Copy.h"

#include <algorithm>
#include <limits>
#include <vector>

OverviewData OverviewData::compute(const Analytics &analytics, const QList<Trigger> &triggers, Scope scope)
{
    const EventSnapshot &events = analytics.events;
    const Calendar &cal = analytics.cal;
    const DateInterval week = analytics.week(0);

    OverviewData d;
    d.today = analytics.todayCount();
    d.thisWeek = analytics.countIn(week);
    d.allTime = int(events.size());
    if (events.isTimeOrdered()) {
        if (!events.isEmpty())
            d.newest = events.last().timestamp;
    } else {
        for (const VorpEvent &e : events) {
            if (!d.newest || e.timestamp > *d.newest)
                d.newest = e.timestamp;
        }
    }

    // Everything else in one pass over the scoped incidents and this week's, on integer times:
    // UTC milliseconds against the bounds, local milliseconds for the hour and the day.
    qint64 scopeFrom = std::numeric_limits<qint64>::min();
    qint64 scopeTo = std::numeric_limits<qint64>::max();
    if (scope != Scope::all) {
        const DateInterval span = scope == Scope::week ? week : cal.monthInterval(analytics.now);
        scopeFrom = Calendar::msecs(span.start);
        scopeTo = Calendar::msecs(span.end);
    }
    const qint64 weekFrom = Calendar::msecs(week.start);
    const qint64 weekTo = Calendar::msecs(week.end);
    std::vector<qint64> weekDays;
    QList<DayBucket> days = analytics.emptyDays(week, &weekDays);

    qsizetype first = 0;
    qsizetype last = events.size();
    if (events.isTimeOrdered() && scope != Scope::all) {
        first = events.lowerBound(std::min(scopeFrom, weekFrom));
        last = events.lowerBound(std::max(scopeTo, weekTo));
    }
    int scopedCount = 0;
    QList<int> hours(24, 0);
    Analytics::TriggerTally triggerTally;
    // Oldest first, so each application's row ends with the bundle identifier of its latest incident.
    Analytics::AppTally appTally(Analytics::AppTally::Bundle::last);
    for (auto it = events.begin() + first, end = events.begin() + last; it != end; ++it) {
        const VorpEvent &e = *it;
        const qint64 t = Calendar::msecs(e.timestamp);
        const bool inScope = scopeFrom <= t && t < scopeTo;
        const bool inWeek = weekFrom <= t && t < weekTo;
        if (!inScope && !inWeek)
            continue;
        const qint64 local = cal.localMSecs(t);
        if (inScope) {
            ++scopedCount;
            ++hours[Calendar::localHour(local)];
            triggerTally.add(e);
            if (e.appName)
                appTally.add(e);
        }
        if (inWeek) {
            const qint64 day = Calendar::localDay(local);
            for (size_t i = 0; i < weekDays.size(); ++i) {
                if (weekDays[i] == day)
                    ++days[qsizetype(i)].count;
            }
        }
    }
    d.triggers = triggerTally.rows(triggers);
    d.apps = appTally.rows();
    d.hours = hours;

    // The notes rank only filed incidents, and always look at this week's days.
    const int previousTotal = scope == Scope::week ? analytics.countIn(analytics.week(-1)) : 0;
    d.notes = Copy::observations(scopedCount, triggerTally.rows(triggers, false), d.apps, d.hours, days,
                                 previousTotal);
    return d;
}

namespace OverviewRows {

QList<CountItem> topTriggers(const QList<CountItem> &items)
{
    return Analytics::topWithRest(items, triggerLimit);
}

QList<CountItem> topApps(const QList<CountItem> &items)
{
    return items.mid(0, appLimit);
}

int totalCount(const QList<CountItem> &items)
{
    int total = 0;
    for (const CountItem &item : items)
        total += item.count;
    return total;
}

QList<int> counts(const QList<CountItem> &items)
{
    QList<int> out;
    for (const CountItem &item : items)
        out << item.count;
    return out;
}

} // namespace OverviewRows
