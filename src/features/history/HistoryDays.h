#pragma once

#include "features/history/HistoryFilter.h"
#include "models/Calendar.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QLocale>

// One day section of the history list.
struct DayGroup
{
    QDate date;
    QDateTime day;           // the start of that day in the calendar's zone
    QList<qsizetype> events; // indices into the page's incidents, newest first
};

namespace HistoryDays {

// Groups the filtered incidents (indices into `events`, newest first) by the local calendar day of
// their timestamps; each group keeps the given order, the groups run from the latest day back.
QList<DayGroup> group(EventSpan events, const QList<qsizetype> &filtered, const Calendar &calendar);

// "TODAY", "YESTERDAY", else the full weekday, the day and the short month in the locale's order,
// upper-cased ("WEDNESDAY, DEC 2").
QString title(const QDate &day, const QDateTime &now, const Calendar &calendar,
              const QLocale &locale = QLocale());

} // namespace HistoryDays
