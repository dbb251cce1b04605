#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

// Dates written the way the user's locale writes a given set of fields. A skeleton names the
// fields only ("EEEEdMMMM"); ICU's pattern generator picks their order, separators and forms.
namespace LocalDates {

QString format(const QDateTime &moment, const QTimeZone &zone, const QString &skeleton,
               const QLocale &locale = QLocale());

// Full weekday, day of month and full month: "Thursday, December 10".
QString longDay(const QDateTime &moment, const QTimeZone &zone, const QLocale &locale = QLocale());
// Abbreviated weekday alone: "Mon".
QString shortWeekday(const QDateTime &moment, const QTimeZone &zone, const QLocale &locale = QLocale());
// Abbreviated month and day of month: "Mar 3".
QString monthDay(const QDateTime &moment, const QTimeZone &zone, const QLocale &locale = QLocale());

} // namespace LocalDates
