#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// A date written the way a locale writes a given set of fields. The skeleton names the fields only
// ("MMMd", "EEEE"); ICU's pattern generator picks their order, separators and forms. The instant is
// shown in its own time zone (the zone of a QDateTime made in a Calendar).
QString formatSkeleton(const QDateTime &instant, const QString &skeleton, const QLocale &locale = QLocale());
