#include "AchievementService.h"

QList<Achievement> AchievementService::evaluate(const QList<VorpEvent> &events, const QDateTime &now,
                                                const Calendar &cal)
{
    Q_UNUSED(events);
    Q_UNUSED(now);
    Q_UNUSED(cal);
    return {};
}
