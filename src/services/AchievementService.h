#pragma once

#include "models/Calendar.h"
#include "models/EventSnapshot.h"
#include "models/VorpEvent.h"
#include "services/Achievement.h"
#include "services/DayCounts.h"
#include "services/TextGroups.h"

#include <QDateTime>
#include <QList>
#include <vector>

// The achievement catalogue and its evaluation: a pure function of all incidents and the current
// time. A Tally holds what the evaluation counts, so a caller may keep one and add new incidents
// to it instead of counting every incident again.
class AchievementService
{
public:
    AchievementService() = delete;

    // All 25 achievements in catalogue order with their progress; `now` only bounds the quiet days.
    static QList<Achievement> evaluate(const EventSnapshot &events, const QDateTime &now,
                                       const Calendar &cal = Calendar());

    class Tally
    {
    public:
        explicit Tally(const Calendar &cal);
        // Incidents may come in any order; evaluate() adds them in list order.
        void add(const VorpEvent &event);
        // The same list evaluate() gives for the incidents added so far.
        QList<Achievement> results(const QDateTime &now) const;
        qsizetype size() const;
        const Calendar &calendar() const;

    private:
        Calendar m_cal;
        std::vector<qint64> m_localDays;
        std::vector<DayCount> m_days; // ascending, while m_daysInOrder
        bool m_daysInOrder = true;
        std::vector<qint64> m_timestamps;
        TextGroups m_triggerKeys;
        std::vector<int> m_perTrigger; // by the number m_triggerKeys gives each key
        TextGroups m_apps;
        int m_categorised = 0;
        int m_noted = 0;
        int m_night = 0;
        int m_early = 0;
        int m_lunch = 0;
        int m_weekend = 0;
    };
};
