#pragma once

#include "features/overview/WeekChartValues.h"
#include "models/Trigger.h"
#include "services/Analytics.h"

#include <QStringList>

// One week of the week chart, derived afresh from the overview's Analytics value.
struct WeekChartData
{
    int offset = 0;
    DateInterval interval;
    QList<DayBucket> days;
    QStringList dayNames; // abbreviated weekdays in the user's locale, the bars' identities
    WeekChartValues::Summary summary;

    static WeekChartData compute(const Analytics &analytics, int offset);

    // "This week", "Last week", else the week's range label.
    QString title() const;
    // "⚡ Total: 12".
    QString totalText() const;
    // The footer while no day is hovered.
    QString hint() const;
    // The day named by a hovered bar; -1 for none.
    int indexOf(const QString &dayName) const;

    struct DayDetail
    {
        QString line;  // the verdict on the day
        QString facts; // count, peak time, top trigger
    };
    DayDetail detail(int index, const Analytics &analytics, const QList<Trigger> &triggers) const;
};
