#pragma once

#include "models/Calendar.h"
#include "models/Trigger.h"
#include "models/EventSnapshot.h"
#include "models/VorpEvent.h"
#include "services/CountItem.h"
#include "services/DayBucket.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The values behind one week's report card, built whole by build() and never changed.
struct WeeklyReport
{
    DateInterval interval;
    int total = 0;
    int previousTotal = 0;
    // Monday to Sunday, future days included.
    QList<DayBucket> days;
    // The day with the most incidents so far (at least one); the earliest wins a tie.
    std::optional<DayBucket> worstDay;
    // The past workday, not today and not the worst day, with the fewest incidents.
    std::optional<DayBucket> calmestDay;
    std::optional<QString> peakTime;
    std::optional<CountItem> topTrigger;
    std::optional<CountItem> topApp;
    // Only incidents with a trigger key / an application name are ranked.
    QList<CountItem> triggers;
    QList<CountItem> apps;
    QString verdict;
    QStringList observations;

    // Against the week before; absent when that week had no incident.
    std::optional<int> changePercent() const;
    // "DEC 29 – JAN 4": abbreviated month and day of the first and last day, in the user's locale.
    QString rangeText() const;

    // The week `weekOffset` weeks from the one that contains `now` (0 = this week).
    static WeeklyReport build(const EventSnapshot &events, const QList<Trigger> &triggers, int weekOffset,
                              const QDateTime &now, const Calendar &cal = Calendar());
    // The week chart's header label, "Mar 3 – Mar 9": like rangeText() but not upper-cased.
    static QString rangeLabel(const DateInterval &interval);
};
