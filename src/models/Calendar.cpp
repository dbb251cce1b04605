#include "Calendar.h"

#include <QByteArray>
#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

// The zone's UTC offsets as steps: from starts[i] (UTC ms) on, the offset is offsets[i] seconds.
// Valid from starts.front() up to `validUntil`; outside that the zone itself is asked. `hint`
// holds, for each slice of 2^bucketBits ms from starts.front(), the step in force at the slice's
// start, so a lookup walks at most a step or two instead of searching.
struct Calendar::OffsetTable
{
    static constexpr int bucketBits = 27; // about 37 hours; offsets rarely change faster
    std::vector<qint64> starts;
    std::vector<int> offsets;
    std::vector<quint16> hint;
    qint64 validUntil = 0;
};

namespace {

void fillHints(Calendar::OffsetTable &table)
{
    const qint64 first = table.starts.front();
    const qint64 slices = ((table.validUntil - first) >> Calendar::OffsetTable::bucketBits) + 1;
    table.hint.resize(size_t(slices));
    size_t step = 0;
    for (qint64 i = 0; i < slices; ++i) {
        const qint64 at = first + (i << Calendar::OffsetTable::bucketBits);
        while (step + 1 < table.starts.size() && table.starts[step + 1] <= at)
            ++step;
        table.hint[size_t(i)] = quint16(step);
    }
}

std::shared_ptr<const Calendar::OffsetTable> buildTable(const QTimeZone &zone)
{
    auto table = std::make_shared<Calendar::OffsetTable>();
    if (!zone.isValid())
        return table;
    const QDateTime from(QDate(1900, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(2200, 1, 1), QTime(0, 0), Qt::UTC);
    table->starts.push_back(from.toMSecsSinceEpoch());
    table->offsets.push_back(zone.offsetFromUtc(from));
    const auto transitions = zone.hasTransitions() ? zone.transitions(from, to) : QTimeZone::OffsetDataList();
    if (transitions.isEmpty()) {
        // No change of offset in the whole range.
        table->validUntil = to.toMSecsSinceEpoch();
        return table;
    }
    for (const auto &t : transitions) {
        const qint64 at = t.atUtc.toMSecsSinceEpoch();
        if (at <= table->starts.back())
            continue;
        table->starts.push_back(at);
        table->offsets.push_back(t.offsetFromUtc);
    }
    // The list ends where the zone's explicit data ends (around 2037), though rules may go on.
    table->validUntil = table->starts.back();
    fillHints(*table);
    return table;
}

std::shared_ptr<const Calendar::OffsetTable> tableFor(const QTimeZone &zone)
{
    static std::mutex mutex;
    static std::map<QByteArray, std::shared_ptr<const Calendar::OffsetTable>> tables;
    const QByteArray id = zone.isValid() ? zone.id() : QByteArray();
    std::lock_guard lock(mutex);
    auto &entry = tables[id];
    if (!entry)
        entry = buildTable(zone);
    return entry;
}

} // namespace

Calendar::Calendar() : Calendar(QTimeZone::systemTimeZone())
{
}

Calendar::Calendar(const QTimeZone &zone) : m_zone(zone.isValid() ? zone : QTimeZone::utc())
{
    m_offsets = tableFor(m_zone);
}

int Calendar::weekday(const QDate &date)
{
    // QDate counts Monday 1 … Sunday 7.
    return date.dayOfWeek() % 7 + 1;
}

QDate Calendar::weekStart(const QDate &date)
{
    return date.addDays(1 - date.dayOfWeek());
}

QDateTime Calendar::toLocal(const QDateTime &instant) const
{
    return instant.toTimeZone(m_zone);
}

QDate Calendar::date(const QDateTime &instant) const
{
    return dateOfLocalDay(localDay(localMSecs(msecs(instant))));
}

int Calendar::hour(const QDateTime &instant) const
{
    return localHour(localMSecs(msecs(instant)));
}

int Calendar::minute(const QDateTime &instant) const
{
    return localMinute(localMSecs(msecs(instant)));
}

int Calendar::weekday(const QDateTime &instant) const
{
    return weekdayOfLocalDay(localDay(localMSecs(msecs(instant))));
}

bool Calendar::isSameDay(const QDateTime &a, const QDateTime &b) const
{
    return localDay(localMSecs(msecs(a))) == localDay(localMSecs(msecs(b)));
}

QDateTime Calendar::startOfDay(const QDate &date) const
{
    const QDateTime start = date.startOfDay(m_zone);
    // Where the clocks go back across midnight, 00:00 happens twice and Qt picks the later one;
    // the day began at the earlier, under the offset in force before the change.
    const QTimeZone::OffsetData change = m_zone.previousTransition(start.addMSecs(1));
    if (!change.atUtc.isValid() || change.atUtc <= start.addDays(-1))
        return start;
    const int offsetBefore = m_zone.offsetFromUtc(change.atUtc.addMSecs(-1));
    const QDateTime earlier = QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(-offsetBefore);
    if (earlier < start && earlier < change.atUtc && this->date(earlier) == date)
        return earlier;
    return start;
}

QDateTime Calendar::startOfDay(const QDateTime &instant) const
{
    return startOfDay(date(instant));
}

DateInterval Calendar::dayInterval(const QDate &date) const
{
    return {startOfDay(date), startOfDay(date.addDays(1))};
}

DateInterval Calendar::dayInterval(const QDateTime &instant) const
{
    return dayInterval(date(instant));
}

DateInterval Calendar::weekInterval(const QDate &date) const
{
    const QDate monday = weekStart(date);
    return {startOfDay(monday), startOfDay(monday.addDays(7))};
}

DateInterval Calendar::weekInterval(const QDateTime &instant) const
{
    return weekInterval(date(instant));
}

DateInterval Calendar::monthInterval(const QDateTime &instant) const
{
    const QDate d = date(instant);
    const QDate first(d.year(), d.month(), 1);
    return {startOfDay(first), startOfDay(first.addMonths(1))};
}

QDateTime Calendar::addDays(const QDateTime &instant, int days) const
{
    const QDate day = date(instant);
    const QDate later = day.addDays(days);
    // QDateTime::addDays lands on a wrong instant when the target wall time falls in a gap, and the
    // start of a day must stay a start of day.
    if (instant == startOfDay(day))
        return startOfDay(later);
    const QTime time = toLocal(instant).time();
    const QDateTime sameTime(later, time, m_zone);
    if (sameTime.isValid())
        return sameTime;
    // The wall time falls in a gap: it moves forward by the gap's length.
    return startOfDay(later).addMSecs(time.msecsSinceStartOfDay());
}

qint64 Calendar::localMSecs(qint64 utcMSecs) const
{
    utcMSecs = std::clamp(utcMSecs, -maxMSecs, maxMSecs);
    const OffsetTable &table = *m_offsets;
    if (!table.starts.empty() && utcMSecs >= table.starts.front() && utcMSecs < table.validUntil) {
        if (table.hint.empty())
            return utcMSecs + qint64(table.offsets.front()) * 1000;
        size_t step = table.hint[size_t((utcMSecs - table.starts.front()) >> OffsetTable::bucketBits)];
        while (step + 1 < table.starts.size() && table.starts[step + 1] <= utcMSecs)
            ++step;
        return utcMSecs + qint64(table.offsets[step]) * 1000;
    }
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(utcMSecs, Qt::UTC);
    return utcMSecs + qint64(m_zone.offsetFromUtc(utc)) * 1000;
}
