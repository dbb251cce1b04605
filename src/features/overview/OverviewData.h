#pragma once

#include "services/Analytics.h"
#include "services/CountItem.h"
#include "services/Scope.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <optional>

// Everything the overview page shows apart from the week chart, derived afresh from one Analytics
// value (all incidents, oldest first) and the trigger list: binary searches for the counters and
// one pass over the scoped incidents when the snapshot is time-ordered, as the store's are.
struct OverviewData
{
    // The three counters; none of them follows the scope.
    int today = 0;
    int thisWeek = 0;
    int allTime = 0;
    std::optional<QDateTime> newest;

    // Inputs of the lower cards, over the scoped incidents.
    QList<CountItem> triggers; // incidents without a trigger included, as "_none"
    QList<CountItem> apps;     // only incidents with an application name
    QList<int> hours;          // 24 counts
    QStringList notes;         // the field notes

    static OverviewData compute(const Analytics &analytics, const QList<Trigger> &triggers, Scope scope);
};

// The rows the ranking cards draw.
namespace OverviewRows {
inline constexpr int triggerLimit = 6;
inline constexpr int appLimit = 5;
// At most six, the sixth folding the rest into "Everything else".
QList<CountItem> topTriggers(const QList<CountItem> &items);
// The first five, unfolded.
QList<CountItem> topApps(const QList<CountItem> &items);
int totalCount(const QList<CountItem> &items);
QList<int> counts(const QList<CountItem> &items);
} // namespace OverviewRows
