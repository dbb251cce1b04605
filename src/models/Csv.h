#pragma once

#include "EventSnapshot.h"
#include "Trigger.h"
#include "VorpEvent.h"

#include <QByteArray>
#include <QDateTime>

// The CSV export: UTF-8 without a byte-order mark, lines joined by a single line feed with none
// after the last, the header "id,timestamp,app,bundle_id,trigger,note,source".
namespace Csv {

// The whole file for these incidents, in the order given; triggers name the trigger column.
QByteArray document(const EventSnapshot &events, const QList<Trigger> &triggers);
// The timestamp column: ISO 8601 in UTC, no fractional seconds, suffix Z; a year beyond 9999 in
// as many digits as it has.
QByteArray timestampField(const QDateTime &timestamp);
// "grumblix-" + the date of `now` in its own time zone (yyyy-MM-dd) + ".csv": the user's day, so
// a file saved just after midnight east of UTC is not named after yesterday.
QString suggestedFileName(const QDateTime &now);
// Writes the document atomically: on failure an existing file is left as it was and `error`, when
// given, says the system's reason.
bool write(const QString &path, const EventSnapshot &events, const QList<Trigger> &triggers,
           QString *error = nullptr);

} // namespace Csv
