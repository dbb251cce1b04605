#pragma once

#include "models/Calendar.h"
#include "models/Trigger.h"
#include "models/VorpEvent.h"
#include "services/CountItem.h"
#include "services/DayBucket.h"
#include "services/Scope.h"

#include <QList>
#include <QString>
#include <optional>

// Statistics over a list of incidents, seen from a reference time in a calendar. A plain value:
// callers fill the three fields (all incidents, the calendar, the current time) and ask; nothing is
// cached, every member walks the list again, and filters keep the order they were given.
struct Analytics
{
    QList<VorpEvent> events;
    Calendar cal;
    QDateTime now;

    // Incidents with start <= timestamp < end.
    QList<VorpEvent> eventsIn(const DateInterval &interval) const;
    // The number of incidents eventsIn() would give, without copying them.
    int countIn(const DateInterval &interval) const;
    // The calendar week `offset` weeks from now (0 = this week, -1 = last week).
    DateInterval week(int offset) const;
    // Incidents on the reference day.
    int todayCount() const;
    QList<VorpEvent> eventsFor(Scope scope) const;
    // Seven buckets from the interval's start, counting only incidents inside the interval.
    QList<DayBucket> days(const DateInterval &interval) const;
    // The most incidents on one calendar day before the given instant's day; 0 when none.
    int maxDailyCount(const QDateTime &before) const;

    // 24 counts, index = hour of the day.
    static QList<int> hourHistogram(const QList<VorpEvent> &events, const Calendar &cal);
    // "HH:MM": the busiest hour (the earliest on a tie) and the truncated mean minute of its
    // incidents; absent without incidents.
    static std::optional<QString> peakTime(const QList<VorpEvent> &events, const Calendar &cal);
    // One row per trigger key ("_none" for incidents without one), ranked.
    static QList<CountItem> triggerCounts(const QList<VorpEvent> &events, const QList<Trigger> &triggers);
    // One row per application name ("Unknown" for incidents without one), ranked.
    static QList<CountItem> appCounts(const QList<VorpEvent> &events);
    // At most `limit` rows: the first limit - 1 and one "_rest" row holding the others. A limit
    // below 1 is taken as 1.
    static QList<CountItem> topWithRest(const QList<CountItem> &items, int limit);

    // Stable: count descending, then name by code point (case-sensitive, locale-independent).
    static void rank(QList<CountItem> &items);
    // (total - previous) / previous as a percentage rounded half away from zero; absent when
    // previous < 1.
    static std::optional<int> percentChange(int total, int previousTotal);
};
