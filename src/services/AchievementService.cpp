#include "AchievementService.h"

#include "services/DayCounts.h"
#include "services/TextGroups.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr qint64 speedRunWindowMs = 60 * 1000;

int busiestDay(const std::vector<DayCount> &days, int weekday)
{
    int best = 0;
    for (const DayCount &day : days) {
        if (weekday == 0 || Calendar::weekdayOfLocalDay(day.day) == weekday)
            best = std::max(best, day.count);
    }
    return best;
}

int longestStreak(const std::vector<DayCount> &days)
{
    int best = 0;
    int run = 0;
    for (size_t i = 0; i < days.size(); ++i) {
        run = (i > 0 && days[i].day - days[i - 1].day == 1) ? run + 1 : 1;
        best = std::max(best, run);
    }
    return best;
}

int speedRun(const std::vector<qint64> &added)
{
    // Incidents usually come in time order; only others need a sorted copy.
    std::vector<qint64> copy;
    if (!std::is_sorted(added.begin(), added.end())) {
        copy = added;
        std::sort(copy.begin(), copy.end());
    }
    const std::vector<qint64> &timestamps = copy.empty() ? added : copy;
    size_t i = 0;
    int best = 0;
    for (size_t j = 0; j < timestamps.size(); ++j) {
        while (timestamps[j] - timestamps[i] > speedRunWindowMs)
            ++i;
        best = std::max(best, int(j - i + 1));
    }
    return best;
}

// Monday-to-Friday days among the local days [from, to).
qint64 workdaysIn(qint64 from, qint64 to)
{
    if (to <= from)
        return 0;
    const qint64 weeks = (to - from) / 7;
    qint64 count = weeks * 5;
    for (qint64 day = from + weeks * 7; day < to; ++day)
        count += Calendar::isWorkday(Calendar::weekdayOfLocalDay(day)) ? 1 : 0;
    return count;
}

// Workdays after the first incident's day and before today on which nothing was logged.
int quietWorkdays(const std::vector<DayCount> &days, qint64 today)
{
    if (days.empty())
        return 0;
    // Counted, not walked day by day: a stray timestamp centuries away must not stall the page.
    const qint64 from = days.front().day + 1;
    qint64 quiet = workdaysIn(from, today);
    for (const DayCount &day : days) {
        if (day.day >= from && day.day < today && Calendar::isWorkday(Calendar::weekdayOfLocalDay(day.day)))
            --quiet;
    }
    return int(std::min<qint64>(quiet, std::numeric_limits<int>::max()));
}

// The most workdays of one Monday-to-Sunday week that have an incident.
int bestWorkweek(const std::vector<DayCount> &days)
{
    int best = 0;
    qint64 week = 0;
    int count = 0;
    for (const DayCount &day : days) {
        const int weekday = Calendar::weekdayOfLocalDay(day.day);
        const int fromMonday = (weekday + 5) % 7;
        const qint64 monday = day.day - fromMonday;
        if (count == 0 || monday != week) {
            week = monday;
            count = 0;
        }
        if (fromMonday <= 4)
            ++count;
        best = std::max(best, count);
    }
    return best;
}

} // namespace

AchievementService::Tally::Tally(const Calendar &cal) : m_cal(cal)
{
}

void AchievementService::Tally::add(const VorpEvent &event)
{
    const qint64 utc = Calendar::msecs(event.timestamp);
    const qint64 local = m_cal.localMSecs(utc);
    const qint64 day = Calendar::localDay(local);
    // Incidents in time order are counted per day as they come; any other order is counted by
    // countDays() when the results are asked for.
    m_localDays.push_back(day);
    if (m_daysInOrder && !m_days.empty() && day == m_days.back().day)
        ++m_days.back().count;
    else if (m_daysInOrder && (m_days.empty() || day > m_days.back().day))
        m_days.push_back(DayCount{day, 1});
    else
        m_daysInOrder = false;
    m_timestamps.push_back(utc);
    if (event.triggerKey) {
        const size_t key = size_t(m_triggerKeys.indexOf(*event.triggerKey));
        if (key == m_perTrigger.size())
            m_perTrigger.push_back(0);
        ++m_perTrigger[key];
        ++m_categorised;
    }
    if (event.note && !event.note->isEmpty())
        ++m_noted;
    const int hour = Calendar::localHour(local);
    if (hour < 4 || hour > 21)
        ++m_night;
    if (hour >= 4 && hour <= 7)
        ++m_early;
    else if (hour == 12)
        ++m_lunch;
    if (!Calendar::isWorkday(Calendar::weekdayOfLocalDay(day)))
        ++m_weekend;
    if (event.bundleIdentifier)
        m_apps.indexOf(*event.bundleIdentifier);
    else if (event.appName)
        m_apps.indexOf(*event.appName);
}

qsizetype AchievementService::Tally::size() const
{
    return qsizetype(m_timestamps.size());
}

const Calendar &AchievementService::Tally::calendar() const
{
    return m_cal;
}

QList<Achievement> AchievementService::evaluate(const EventSnapshot &events, const QDateTime &now,
                                                const Calendar &cal)
{
    Tally tally(cal);
    for (const VorpEvent &event : events)
        tally.add(event);
    return tally.results(now);
}

QList<Achievement> AchievementService::Tally::results(const QDateTime &now) const
{
    const Tally &t = *this;
    const std::vector<DayCount> days = m_daysInOrder ? m_days : countDays(m_localDays);
    const std::vector<qint64> &timestamps = m_timestamps;
    const Calendar &cal = m_cal;
    const int total = int(m_timestamps.size());
    const auto count = [&t](const char *key) {
        for (qsizetype i = 0; i < t.m_triggerKeys.size(); ++i) {
            if (t.m_triggerKeys.text(i) == QLatin1StringView(key))
                return t.m_perTrigger[size_t(i)];
        }
        return 0;
    };
    const qint64 today = Calendar::localDay(cal.localMSecs(Calendar::msecs(now)));

    const auto entry = [](const char *id, const char *emoji, const char *title, const char *detail,
                          int target, int progress) {
        return Achievement{QString::fromLatin1(id),
                           QString::fromUtf8(emoji),
                           QString::fromUtf8(title),
                           QString::fromUtf8(detail),
                           target,
                           progress};
    };
    return {
        entry("first", "\U0001F534", "First of Many", "Press the button for the first time.", 1, total),
        entry("monday", "\U0001F4C5", "Monday Survivor", "10 presses on a single Monday.", 10,
              busiestDay(days, 2)),
        entry("meetings", "\U0001F4AC", "Meeting Enthusiast", "25 meeting-related incidents.", 25,
              count("meeting")),
        entry("builds", "\U0001F528", "It Works On My Machine", "10 build incidents.", 10, count("build")),
        entry("prod", "\U0001F525", "This Is Fine", "5 production incidents.", 5, count("production")),
        entry("quiet", "\U0001F9D8", "Peace and Quiet", "A full workday with zero incidents.", 1,
              quietWorkdays(days, today)),
        entry("consistency", "\U0001F4C8", "Consistency", "At least one incident every workday for a week.",
              5, bestWorkweek(days)),
        entry("speedrun", "\u26A1\uFE0F", "Rage Speedrun", "5 presses within 60 seconds.", 5,
              speedRun(timestamps)),
        entry("night", "\U0001F989", "Midnight Oil", "5 incidents between 22:00 and 04:00.", 5, m_night),
        entry("diary", "\U0001F4DD", "Dear Diary", "Add notes to 10 incidents.", 10, m_noted),
        entry("organized", "\U0001F5C2\uFE0F", "Organized Chaos", "Categorize 50 incidents.", 50,
              m_categorised),
        entry("okay", "\U0001FAE0", "Are You Okay?", "30 incidents in a single day.", 30,
              busiestDay(days, 0)),
        entry("hundred", "\U0001F3C6", "Professional Patience Tester", "100 lifetime incidents.", 100, total),
        entry("thousand", "\U0001F451", "One Thousand Vorps Given", "1,000 lifetime incidents.", 1000, total),
        entry("email", "\U0001F4E8", "Reply All Survivor", "15 email incidents.", 15, count("email")),
        entry("bugs", "\U0001F41B", "Bug Whisperer", "15 bug incidents.", 15, count("bug")),
        entry("people", "\U0001FAC2", "People Person", "15 incidents caused by humans.", 15, count("people")),
        entry("management", "\U0001F4CB", "Circling Back", "10 management incidents.", 10,
              count("management")),
        entry("wtf", "\U0001F928", "Professional Confusion", "10 WTF incidents.", 10, count("wtf")),
        entry("friday", "\U0001F37B", "Friday Deploy", "10 presses on a single Friday.", 10,
              busiestDay(days, 6)),
        entry("weekend", "\U0001F3D6\uFE0F", "Weekend Warrior",
              "5 incidents on a weekend. Why are you working?", 5, m_weekend),
        entry("early", "\U0001F305", "Early Bird Gets the Bug", "5 incidents before 08:00.", 5, m_early),
        entry("lunch", "\U0001F96A", "Lunch Is a Myth", "10 incidents between 12:00 and 13:00.", 10, m_lunch),
        entry("apps", "\U0001F9ED", "Equal Opportunity Hater", "Incidents in 10 different apps.", 10,
              int(m_apps.size())),
        entry("streak", "\U0001F4C6", "Ten Days of Pain", "At least one incident on 10 days in a row.", 10,
              longestStreak(days)),
    };
}
