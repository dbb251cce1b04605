#include "Calendar.h"

#include <QByteArray>
#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace {

constexpr qint64 msPerDay = 24 * 3600 * 1000;
// Julian day of 1970-01-01.
constexpr qint64 epochJulianDay = 2440588;

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

// The zone's UTC offsets as steps: from starts[i] (UTC ms) on, the offset is offsets[i] seconds.
// Valid from starts.front() up to `validUntil`; outside that the zone itself is asked.
struct Calendar::OffsetTable
{
    std::vector<qint64> starts;
    std::vector<int> offsets;
    qint64 validUntil = 0;
};

namespace {

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
    return dateOfLocalDay(localDay(localMSecs(instant.toMSecsSinceEpoch())));
}

int Calendar::hour(const QDateTime &instant) const
{
    return localHour(localMSecs(instant.toMSecsSinceEpoch()));
}

int Calendar::minute(const QDateTime &instant) const
{
    return localMinute(localMSecs(instant.toMSecsSinceEpoch()));
}

int Calendar::weekday(const QDateTime &instant) const
{
    return weekdayOfLocalDay(localDay(localMSecs(instant.toMSecsSinceEpoch())));
}

bool Calendar::isSameDay(const QDateTime &a, const QDateTime &b) const
{
    return localDay(localMSecs(a.toMSecsSinceEpoch())) == localDay(localMSecs(b.toMSecsSinceEpoch()));
}

QDateTime Calendar::startOfDay(const QDate &date) const
{
    return date.startOfDay(m_zone);
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
    return QDateTime(later, toLocal(instant).time(), m_zone);
}

qint64 Calendar::localMSecs(qint64 utcMSecs) const
{
    const OffsetTable &table = *m_offsets;
    if (!table.starts.empty() && utcMSecs >= table.starts.front() && utcMSecs < table.validUntil) {
        const auto it = std::upper_bound(table.starts.begin(), table.starts.end(), utcMSecs);
        return utcMSecs + qint64(table.offsets[size_t(it - table.starts.begin() - 1)]) * 1000;
    }
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(utcMSecs, Qt::UTC);
    return utcMSecs + qint64(m_zone.offsetFromUtc(utc)) * 1000;
}

qint64 Calendar::localDay(qint64 localMSecs)
{
    return floorDiv(localMSecs, msPerDay);
}

int Calendar::localHour(qint64 localMSecs)
{
    return int((localMSecs - localDay(localMSecs) * msPerDay) / (3600 * 1000));
}

int Calendar::localMinute(qint64 localMSecs)
{
    return int((localMSecs - localDay(localMSecs) * msPerDay) / (60 * 1000) % 60);
}

QDate Calendar::dateOfLocalDay(qint64 localDay)
{
    return QDate::fromJulianDay(localDay + epochJulianDay);
}

qint64 Calendar::localDayOf(const QDate &date)
{
    return date.toJulianDay() - epochJulianDay;
}

int Calendar::weekdayOfLocalDay(qint64 localDay)
{
    // 1970-01-01 was a Thursday, weekday 5.
    const qint64 shifted = localDay + 4;
    return int(shifted - floorDiv(shifted, 7) * 7) + 1;
}
