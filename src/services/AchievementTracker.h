#pragma once

#include "services/Achievement.h"
#include "services/AchievementService.h"

#include <QDateTime>
#include <QTimeZone>
#include <optional>

class Store;

// What the checks after a log count over the store's incidents: the achievement tally and the best
// day before today. Both are kept while the store only grows at its end (Store::rewrites()
// unchanged) in the same time zone, so a log costs one more incident, not a pass over all of them;
// any other change counts everything again.
class AchievementTracker
{
public:
    explicit AchievementTracker(const Store &store);

    // Every achievement with its progress at `now`, in catalogue order.
    QList<Achievement> all(const QTimeZone &zone, const QDateTime &now);
    // The achievements complete at `now`, in catalogue order.
    QList<Achievement> unlocked(const QTimeZone &zone, const QDateTime &now);
    // The most incidents on one day before the day of `current`; incidents from the start of that
    // day on do not count.
    int previousDailyBest(const QTimeZone &zone, const QDateTime &current);

private:
    const Store &m_store;
    std::optional<AchievementService::Tally> m_tally;
    quint64 m_talliedRewrites = 0;
    struct RecordBest
    {
        quint64 rewrites;
        qsizetype counted; // incidents looked at
        qint64 cut;        // the start of the day, UTC ms
        QTimeZone zone;
        int best;
    };
    std::optional<RecordBest> m_best;
};
