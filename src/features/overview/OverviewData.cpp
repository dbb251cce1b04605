#include "features/overview/OverviewData.h"

#include "services/Copy.h"

#include <algorithm>

namespace {

QList<VorpEvent> withTrigger(const QList<VorpEvent> &events)
{
    QList<VorpEvent> out;
    out.reserve(events.size());
    std::copy_if(events.cbegin(), events.cend(), std::back_inserter(out),
                 [](const VorpEvent &e) { return e.triggerKey.has_value(); });
    return out;
}

// Newest first: an application's row carries the bundle identifier of its latest incident.
QList<VorpEvent> withAppNewestFirst(const QList<VorpEvent> &events)
{
    QList<VorpEvent> out;
    out.reserve(events.size());
    for (auto it = events.crbegin(); it != events.crend(); ++it)
        if (it->appName)
            out.append(*it);
    return out;
}

} // namespace

OverviewData OverviewData::compute(const Analytics &analytics, const QList<Trigger> &triggers, Scope scope)
{
    OverviewData d;
    d.today = analytics.todayCount();
    d.thisWeek = analytics.countIn(analytics.week(0));
    d.allTime = int(analytics.events.size());
    for (const VorpEvent &e : analytics.events) {
        if (!d.newest || e.timestamp > *d.newest)
            d.newest = e.timestamp;
    }

    const QList<VorpEvent> scoped = analytics.eventsFor(scope);
    const QList<VorpEvent> scopedWithApp = withAppNewestFirst(scoped);
    d.triggers = Analytics::triggerCounts(scoped, triggers);
    d.apps = Analytics::appCounts(scopedWithApp);
    d.hours = Analytics::hourHistogram(scoped, analytics.cal);

    // The notes rank only filed incidents, and always look at this week's days.
    const int previousTotal = scope == Scope::week ? analytics.countIn(analytics.week(-1)) : 0;
    d.notes = Copy::observations(int(scoped.size()), Analytics::triggerCounts(withTrigger(scoped), triggers),
                                 d.apps, d.hours, analytics.days(analytics.week(0)), previousTotal);
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
