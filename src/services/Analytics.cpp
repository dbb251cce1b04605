#include "Analytics.h"

#include "services/DayCounts.h"
#include "services/TextGroups.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

const QString noTriggerId = QStringLiteral("_none");
const QString restId = QStringLiteral("_rest");

// Whether two optional texts share one buffer (or are both absent): the store interns repeated
// texts, so this settles most comparisons without touching characters or reference counts.
bool sameText(const std::optional<QString> &a, const std::optional<QString> &b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || (a->constData() == b->constData() && a->size() == b->size()) || *a == *b;
}

qint64 msOf(const VorpEvent &event)
{
    return Calendar::msecs(event.timestamp);
}

} // namespace

EventSnapshot Analytics::eventsIn(const DateInterval &interval) const
{
    const qint64 from = Calendar::msecs(interval.start);
    const qint64 to = Calendar::msecs(interval.end);
    if (events.isTimeOrdered())
        return events.slice(events.lowerBound(from), events.lowerBound(std::max(from, to)));
    QList<VorpEvent> inside;
    for (const VorpEvent &event : events) {
        const qint64 t = msOf(event);
        if (from <= t && t < to)
            inside.append(event);
    }
    return inside;
}

int Analytics::countIn(const DateInterval &interval) const
{
    const qint64 from = Calendar::msecs(interval.start);
    const qint64 to = Calendar::msecs(interval.end);
    if (events.isTimeOrdered())
        return int(std::max<qsizetype>(0, events.lowerBound(to) - events.lowerBound(from)));
    int count = 0;
    for (const VorpEvent &event : events) {
        const qint64 t = msOf(event);
        count += (from <= t && t < to) ? 1 : 0;
    }
    return count;
}

DateInterval Analytics::week(int offset) const
{
    return cal.weekInterval(cal.date(now).addDays(qint64(offset) * 7));
}

int Analytics::todayCount() const
{
    return countIn(cal.dayInterval(now));
}

EventSnapshot Analytics::eventsFor(Scope scope) const
{
    switch (scope) {
    case Scope::week:
        return eventsIn(week(0));
    case Scope::month:
        return eventsIn(cal.monthInterval(now));
    case Scope::all:
        break;
    }
    return events;
}

QList<DayBucket> Analytics::emptyDays(const DateInterval &interval, std::vector<qint64> *localDays) const
{
    const QDateTime today = cal.startOfDay(now);
    QList<DayBucket> buckets;
    for (int i = 0; i < 7; ++i) {
        const QDateTime date = cal.addDays(interval.start, i);
        if (!date.isValid())
            continue;
        buckets.append({date, 0, date == today, date > today});
        localDays->push_back(Calendar::localDay(cal.localMSecs(Calendar::msecs(date))));
    }
    return buckets;
}

QList<DayBucket> Analytics::days(const DateInterval &interval) const
{
    const qint64 from = Calendar::msecs(interval.start);
    const qint64 to = Calendar::msecs(interval.end);
    std::vector<qint64> bucketDays;
    QList<DayBucket> buckets = emptyDays(interval, &bucketDays);
    for (const VorpEvent &event : events.isTimeOrdered() ? eventsIn(interval) : events) {
        const qint64 t = msOf(event);
        if (t < from || t >= to)
            continue;
        const qint64 day = Calendar::localDay(cal.localMSecs(t));
        for (size_t i = 0; i < bucketDays.size(); ++i) {
            if (bucketDays[i] == day)
                ++buckets[qsizetype(i)].count;
        }
    }
    return buckets;
}

int Analytics::maxDailyCount(const QDateTime &before) const
{
    const qint64 cut = Calendar::msecs(cal.startOfDay(before));
    std::vector<qint64> days;
    days.reserve(size_t(events.size()));
    for (const VorpEvent &event : events) {
        const qint64 t = msOf(event);
        if (t < cut)
            days.push_back(Calendar::localDay(cal.localMSecs(t)));
    }
    int best = 0;
    for (const DayCount &day : countDays(days))
        best = std::max(best, day.count);
    return best;
}

QList<int> Analytics::hourHistogram(const EventSnapshot &events, const Calendar &cal)
{
    QList<int> hours(24, 0);
    for (const VorpEvent &event : events)
        ++hours[Calendar::localHour(cal.localMSecs(msOf(event)))];
    return hours;
}

std::optional<QString> Analytics::peakTime(const EventSnapshot &events, const Calendar &cal)
{
    // One pass: the histogram and, per hour, the sum of the minutes.
    std::array<qint64, 24> counts{};
    std::array<qint64, 24> minutes{};
    for (const VorpEvent &event : events) {
        const qint64 local = cal.localMSecs(msOf(event));
        const int hour = Calendar::localHour(local);
        ++counts[hour];
        minutes[hour] += Calendar::localMinute(local);
    }
    const auto peak = std::max_element(counts.begin(), counts.end()); // the first of equal maxima
    if (*peak < 1)
        return std::nullopt;
    const int hour = int(peak - counts.begin());
    return QString::asprintf("%02d:%02d", hour, int(minutes[hour] / *peak));
}

void Analytics::TriggerTally::add(const VorpEvent &event)
{
    if (!event.triggerKey) {
        ++m_withoutKey;
        return;
    }
    const size_t index = size_t(m_keys.indexOf(*event.triggerKey));
    if (index == m_counts.size())
        m_counts.push_back(0);
    ++m_counts[index];
}

QList<CountItem> Analytics::TriggerTally::rows(const QList<Trigger> &triggers, bool withoutKey) const
{
    QList<CountItem> rows;
    const auto add = [&](const std::optional<QString> &key, int count) {
        const TriggerInfo found = info(triggers, key);
        rows.append({key.value_or(noTriggerId), found.name, found.emoji, std::nullopt, count});
    };
    for (qsizetype i = 0; i < m_keys.size(); ++i)
        add(m_keys.text(i), m_counts[size_t(i)]);
    if (withoutKey && m_withoutKey > 0)
        add(std::nullopt, m_withoutKey);
    rank(rows);
    return rows;
}

void Analytics::AppTally::add(const VorpEvent &event)
{
    static const QString unknown = QStringLiteral("Unknown");
    const qsizetype index = m_names.indexOf(event.appName ? *event.appName : unknown);
    if (index == m_rows.size())
        m_rows.append({m_names.text(index), m_names.text(index), std::nullopt, event.bundleIdentifier, 0});
    else if (m_bundle == Bundle::last && !sameText(m_rows[index].bundleID, event.bundleIdentifier))
        m_rows[index].bundleID = event.bundleIdentifier;
    ++m_rows[index].count;
}

QList<CountItem> Analytics::AppTally::rows() const
{
    QList<CountItem> rows = m_rows;
    rank(rows);
    return rows;
}

QList<CountItem> Analytics::triggerCounts(const EventSnapshot &events, const QList<Trigger> &triggers)
{
    TriggerTally tally;
    for (const VorpEvent &event : events)
        tally.add(event);
    return tally.rows(triggers);
}

QList<CountItem> Analytics::appCounts(const EventSnapshot &events)
{
    AppTally tally;
    for (const VorpEvent &event : events)
        tally.add(event);
    return tally.rows();
}

QList<CountItem> Analytics::topWithRest(const QList<CountItem> &items, int limit)
{
    if (limit >= items.size())
        return items;
    const qsizetype kept = std::max(0, limit - 1);
    QList<CountItem> result = items.first(kept);
    int rest = 0;
    for (qsizetype i = kept; i < items.size(); ++i)
        rest += items[i].count;
    result.append(
        {restId, QStringLiteral("Everything else"), QStringLiteral("\U0001F300"), std::nullopt, rest});
    return result;
}

void Analytics::rank(QList<CountItem> &items)
{
    // Code points of the composed form: QString's own comparison works on UTF-16 units, which
    // misorders characters beyond the basic plane against U+E000…U+FFFF.
    std::vector<std::pair<QList<uint>, CountItem>> keyed;
    keyed.reserve(size_t(items.size()));
    for (CountItem &item : items)
        keyed.emplace_back(item.name.normalized(QString::NormalizationForm_C).toUcs4(), std::move(item));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        if (a.second.count != b.second.count)
            return a.second.count > b.second.count;
        return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end());
    });
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i] = std::move(keyed[size_t(i)].second);
}

std::optional<int> Analytics::percentChange(int total, int previousTotal)
{
    if (previousTotal < 1)
        return std::nullopt;
    const double p = (double(total) - double(previousTotal)) / double(previousTotal) * 100.0;
    // std::round rounds halves away from zero; the clamp keeps absurd totals from overflowing.
    return int(std::clamp(std::round(p), double(std::numeric_limits<int>::min()),
                          double(std::numeric_limits<int>::max())));
}
