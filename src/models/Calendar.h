#pragma once

#include <QDate>
#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <memory>

// A half-open span of time: start included, end excluded.
struct DateInterval
{
    QDateTime start;
    QDateTime end;

    bool contains(const QDateTime &instant) const { return start <= instant && instant < end; }
    qint64 durationSecs() const { return start.secsTo(end); }
    bool operator==(const DateInterval &) const = default;
};

// The calendar every statistic uses: Gregorian, weeks from Monday to Sunday with at least four days
// in the first week (the rule of QDate::weekNumber), in one time zone. Weekday numbers are
// 1 = Sunday, 2 = Monday … 6 = Friday, 7 = Saturday, whatever the first weekday; workdays are 2 to 6.
//
// Converting an instant to local time through QTimeZone costs hundreds of nanoseconds, too much for
// passes over every incident on each refresh, so the zone's offsets are read once into a shared
// table and the fast members below (localMSecs and the local-day helpers) look them up from it.
class Calendar
{
public:
    // The system time zone.
    Calendar();
    // Implicit, so a caller may pass a zone wherever a calendar is wanted.
    Calendar(const QTimeZone &zone);

    const QTimeZone &timeZone() const { return m_zone; }

    // 1 = Sunday … 7 = Saturday.
    static int weekday(const QDate &date);
    static bool isWorkday(int weekday) { return weekday >= 2 && weekday <= 6; }
    // The Monday on or before the date.
    static QDate weekStart(const QDate &date);

    // The instant expressed in this zone.
    QDateTime toLocal(const QDateTime &instant) const;
    QDate date(const QDateTime &instant) const;
    int hour(const QDateTime &instant) const;
    int minute(const QDateTime &instant) const;
    int weekday(const QDateTime &instant) const;
    bool isSameDay(const QDateTime &a, const QDateTime &b) const;

    // The first moment of the day: local midnight, or the first instant after it on a day whose
    // midnight falls in a daylight-saving gap.
    QDateTime startOfDay(const QDate &date) const;
    QDateTime startOfDay(const QDateTime &instant) const;

    DateInterval dayInterval(const QDate &date) const;
    DateInterval dayInterval(const QDateTime &instant) const;
    // Monday's start to the next Monday's start.
    DateInterval weekInterval(const QDate &date) const;
    DateInterval weekInterval(const QDateTime &instant) const;
    DateInterval monthInterval(const QDateTime &instant) const;

    // Whole calendar days later (earlier when negative) at the same wall-clock time; the start of
    // a day always moves to the start of the later day, also across daylight-saving changes.
    QDateTime addDays(const QDateTime &instant, int days) const;

    // The fast path for passes over many incidents.
    //
    // UTC milliseconds since the epoch, held within some 285,000 years of 1970 so that
    // the day arithmetic below cannot overflow on a corrupt timestamp.
    static qint64 msecs(const QDateTime &instant)
    {
        return std::clamp(instant.toMSecsSinceEpoch(), -maxMSecs, maxMSecs);
    }
    // Local wall-clock milliseconds since 1970-01-01 00:00 local time for an instant given as UTC
    // milliseconds since the epoch.
    qint64 localMSecs(qint64 utcMSecs) const;
    // Local day number (days since 1970-01-01) of a local wall-clock time.
    static qint64 localDay(qint64 localMSecs) { return floorDiv(localMSecs, msPerDay); }
    static int localHour(qint64 localMSecs)
    {
        return int((localMSecs - localDay(localMSecs) * msPerDay) / msPerHour);
    }
    static int localMinute(qint64 localMSecs)
    {
        return int((localMSecs - localDay(localMSecs) * msPerDay) / msPerMinute % 60);
    }
    static QDate dateOfLocalDay(qint64 localDay) { return QDate::fromJulianDay(localDay + epochJulianDay); }
    static qint64 localDayOf(const QDate &date) { return date.toJulianDay() - epochJulianDay; }
    // 1 = Sunday … 7 = Saturday; 1970-01-01 was a Thursday.
    static int weekdayOfLocalDay(qint64 localDay)
    {
        return int(localDay + 4 - floorDiv(localDay + 4, 7) * 7) + 1;
    }

    struct OffsetTable;

private:
    static constexpr qint64 msPerMinute = 60 * 1000;
    static constexpr qint64 msPerHour = 60 * msPerMinute;
    static constexpr qint64 msPerDay = 24 * msPerHour;
    static constexpr qint64 epochJulianDay = 2440588; // 1970-01-01
    static constexpr qint64 maxMSecs = qint64(1) << 53;

    static constexpr qint64 floorDiv(qint64 a, qint64 b)
    {
        const qint64 q = a / b;
        return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
    }

    QTimeZone m_zone;
    std::shared_ptr<const OffsetTable> m_offsets;
};
