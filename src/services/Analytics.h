#pragma once

#include "models/Calendar.h"
#include "models/EventSnapshot.h"
#include "models/Trigger.h"
#include "models/VorpEvent.h"
#include "services/CountItem.h"
#include "services/DayBucket.h"
#include "services/Scope.h"
#include "services/TextGroups.h"

#include <QList>
#include <QString>
#include <optional>
#include <vector>

// Statistics over a list of incidents, seen from a reference time in a calendar. A plain value:
// callers fill the three fields (all incidents, the calendar, the current time) and ask; nothing is
// cached, every member walks the list again, and filters keep the order they were given. The list
// is a snapshot, so a view may keep an Analytics value without holding up the store's inserts.
struct Analytics
{
    EventSnapshot events;
    Calendar cal;
    QDateTime now;

    // Incidents with start <= timestamp < end.
    EventSnapshot eventsIn(const DateInterval &interval) const;
    // The number of incidents eventsIn() would give, without copying them.
    int countIn(const DateInterval &interval) const;
    // The calendar week `offset` weeks from now (0 = this week, -1 = last week).
    DateInterval week(int offset) const;
    // Incidents on the reference day.
    int todayCount() const;
    EventSnapshot eventsFor(Scope scope) const;
    // Seven buckets from the interval's start, counting only incidents inside the interval.
    QList<DayBucket> days(const DateInterval &interval) const;
    // The same seven buckets with no counts yet, and the local day number of each (see Calendar).
    QList<DayBucket> emptyDays(const DateInterval &interval, std::vector<qint64> *localDays) const;
    // The most incidents on one calendar day before the given instant's day; 0 when none.
    int maxDailyCount(const QDateTime &before) const;

    // 24 counts, index = hour of the day.
    static QList<int> hourHistogram(const EventSnapshot &events, const Calendar &cal);
    // "HH:MM": the busiest hour (the earliest on a tie) and the truncated mean minute of its
    // incidents; absent without incidents.
    static std::optional<QString> peakTime(const EventSnapshot &events, const Calendar &cal);
    // One row per trigger key ("_none" for incidents without one), ranked.
    static QList<CountItem> triggerCounts(const EventSnapshot &events, const QList<Trigger> &triggers);
    // One row per application name ("Unknown" for incidents without one), ranked.
    static QList<CountItem> appCounts(const EventSnapshot &events);
    // At most `limit` rows: the first limit - 1 and one "_rest" row holding the others. A limit
    // below 1 is taken as 1.
    static QList<CountItem> topWithRest(const QList<CountItem> &items, int limit);

    // The running counts behind triggerCounts(), for a pass that gathers several figures at once.
    class TriggerTally
    {
    public:
        void add(const VorpEvent &event);
        // Ranked rows, named after the triggers; `withoutKey` adds the "_none" row.
        QList<CountItem> rows(const QList<Trigger> &triggers, bool withoutKey = true) const;

    private:
        TextGroups m_keys;
        std::vector<int> m_counts;
        int m_withoutKey = 0;
    };
    // The running counts behind appCounts(). A row carries the bundle identifier of the first or
    // the last incident of its application that was added.
    class AppTally
    {
    public:
        enum class Bundle
        {
            first,
            last
        };
        explicit AppTally(Bundle bundle = Bundle::first) : m_bundle(bundle) {}
        void add(const VorpEvent &event);
        QList<CountItem> rows() const;

    private:
        Bundle m_bundle;
        TextGroups m_names;
        QList<CountItem> m_rows;
    };

    // Stable: count descending, then name by code point (case-sensitive, locale-independent).
    static void rank(QList<CountItem> &items);
    // (total - previous) / previous as a percentage rounded half away from zero; absent when
    // previous < 1.
    static std::optional<int> percentChange(int total, int previousTotal);
};
