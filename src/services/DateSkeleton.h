#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// A date written the way a locale writes a given set of fields. The skeleton names the fields only
// ("MMMd", "EEEE"); ICU's pattern generator picks their order, separators and forms. The instant is
// shown in its own time zone (the zone of a QDateTime made in a Calendar).
QString formatSkeleton(const QDateTime &instant, const QString &skeleton, const QLocale &locale = QLocale());

// The narrow name of a weekday (1 = Monday … 7 = Sunday): one letter in English. A locale without
// narrow names of its own (the C locale, which answers with the day's number) gets the English ones.
QString narrowDayName(int dayOfWeek, const QLocale &locale = QLocale());
