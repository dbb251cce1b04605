#include "services/AchievementTracker.h"

#include "models/Calendar.h"
#include "models/Store.h"
#include "services/Analytics.h"

AchievementTracker::AchievementTracker(const Store &store) : m_store(store)
{
}

QList<Achievement> AchievementTracker::all(const QTimeZone &zone, const QDateTime &now)
{
    const EventSnapshot events = m_store.events();
    if (!m_tally || m_talliedRewrites != m_store.rewrites() || m_tally->size() > events.size() ||
        m_tally->calendar().timeZone() != zone) {
        m_tally.emplace(Calendar(zone));
        m_talliedRewrites = m_store.rewrites();
    }
    for (auto it = events.begin() + m_tally->size(); it != events.end(); ++it)
        m_tally->add(*it);
    return m_tally->results(now);
}

QList<Achievement> AchievementTracker::unlocked(const QTimeZone &zone, const QDateTime &now)
{
    QList<Achievement> complete;
    for (const Achievement &achievement : all(zone, now)) {
        if (achievement.progress >= achievement.target)
            complete << achievement;
    }
    return complete;
}

int AchievementTracker::previousDailyBest(const QTimeZone &zone, const QDateTime &current)
{
    // A store that only grew at its end with nothing new before the start of the day keeps the
    // best it had.
    const EventSnapshot events = m_store.events();
    const Calendar cal(zone);
    const qint64 cut = Calendar::msecs(cal.startOfDay(current));
    const bool kept =
        m_best && m_best->rewrites == m_store.rewrites() && m_best->cut == cut && m_best->zone == zone &&
        m_best->counted <= events.size() &&
        (m_best->counted == events.size() || Calendar::msecs(events[m_best->counted].timestamp) >= cut);
    if (!kept) {
        const Analytics stats{events, cal, current};
        m_best = RecordBest{m_store.rewrites(), events.size(), cut, zone, stats.maxDailyCount(current)};
    }
    m_best->counted = events.size();
    return m_best->best;
}
