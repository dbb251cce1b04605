#include "CalendarKeys.h"

QString dayKey(const QDateTime &moment, const QTimeZone &zone)
{
    const QDate date = moment.toTimeZone(zone).date();
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day());
}

QString weekKey(const QDateTime &moment, const QTimeZone &zone)
{
    int weekYear = 0;
    const int week = moment.toTimeZone(zone).date().weekNumber(&weekYear);
    return QStringLiteral("%1-W%2").arg(weekYear).arg(week);
}
