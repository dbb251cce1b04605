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

qint64 msOf(const VorpEvent &event)
{
    return Calendar::msecs(event.timestamp);
}

} // namespace

QList<VorpEvent> Analytics::eventsIn(const DateInterval &interval) const
{
    const qint64 from = Calendar::msecs(interval.start);
    const qint64 to = Calendar::msecs(interval.end);
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

QList<VorpEvent> Analytics::eventsFor(Scope scope) const
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

QList<DayBucket> Analytics::days(const DateInterval &interval) const
{
    const qint64 from = Calendar::msecs(interval.start);
    const qint64 to = Calendar::msecs(interval.end);
    const QDateTime today = cal.startOfDay(now);

    QList<DayBucket> buckets;
    std::vector<qint64> bucketDays;
    for (int i = 0; i < 7; ++i) {
        const QDateTime date = cal.addDays(interval.start, i);
        if (!date.isValid())
            continue;
        buckets.append({date, 0, date == today, date > today});
        bucketDays.push_back(Calendar::localDay(cal.localMSecs(Calendar::msecs(date))));
    }
    for (const VorpEvent &event : events) {
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

QList<int> Analytics::hourHistogram(const QList<VorpEvent> &events, const Calendar &cal)
{
    QList<int> hours(24, 0);
    for (const VorpEvent &event : events)
        ++hours[Calendar::localHour(cal.localMSecs(msOf(event)))];
    return hours;
}

std::optional<QString> Analytics::peakTime(const QList<VorpEvent> &events, const Calendar &cal)
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

QList<CountItem> Analytics::triggerCounts(const QList<VorpEvent> &events, const QList<Trigger> &triggers)
{
    TextGroups keys;
    std::vector<int> counts;
    int withoutKey = 0;
    for (const VorpEvent &event : events) {
        if (!event.triggerKey) {
            ++withoutKey;
            continue;
        }
        const size_t index = size_t(keys.indexOf(*event.triggerKey));
        if (index == counts.size())
            counts.push_back(0);
        ++counts[index];
    }
    QList<CountItem> rows;
    const auto add = [&](const std::optional<QString> &key, int count) {
        const TriggerInfo found = info(triggers, key);
        rows.append({key.value_or(noTriggerId), found.name, found.emoji, std::nullopt, count});
    };
    for (qsizetype i = 0; i < keys.size(); ++i)
        add(keys.text(i), counts[size_t(i)]);
    if (withoutKey > 0)
        add(std::nullopt, withoutKey);
    rank(rows);
    return rows;
}

QList<CountItem> Analytics::appCounts(const QList<VorpEvent> &events)
{
    static const QString unknown = QStringLiteral("Unknown");
    TextGroups names;
    QList<CountItem> rows;
    for (const VorpEvent &event : events) {
        const qsizetype index = names.indexOf(event.appName ? *event.appName : unknown);
        if (index == rows.size())
            rows.append({names.text(index), names.text(index), std::nullopt, event.bundleIdentifier, 0});
        ++rows[index].count;
    }
    rank(rows);
    return rows;
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
