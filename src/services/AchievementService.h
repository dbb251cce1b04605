#pragma once

#include "models/Calendar.h"
#include "models/VorpEvent.h"
#include "services/Achievement.h"

#include <QDateTime>
#include <QList>

// The achievement catalogue and its evaluation: a pure function of all incidents and the current
// time, recomputed from scratch by every caller.
class AchievementService
{
public:
    AchievementService() = delete;

    // All 25 achievements in catalogue order with their progress; `now` only bounds the quiet days.
    static QList<Achievement> evaluate(const QList<VorpEvent> &events, const QDateTime &now,
                                       const Calendar &cal = Calendar());
};
