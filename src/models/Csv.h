#pragma once

#include "EventSnapshot.h"
#include "Trigger.h"
#include "VorpEvent.h"

#include <QByteArray>
#include <QDateTime>
#include <atomic>
#include <functional>

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

// What the caller of write() watches and stops it by; both are used on the thread that writes.
struct WriteControl
{
    // After each batch of lines: how many incidents are written so far.
    std::function<void(qsizetype written)> progress;
    // Looked at between batches; once it is true the write stops and leaves the target as it was.
    const std::atomic_bool *stop = nullptr;
};

// Writes the document atomically, a batch of lines at a time: on failure an existing file is left
// as it was and `error`, when given, says the system's reason (empty when `control` stopped it).
// Reads nothing but its arguments, so it may run on any thread while the snapshot is kept alive.
bool write(const QString &path, const EventSnapshot &events, const QList<Trigger> &triggers,
           QString *error = nullptr, const WriteControl &control = {});

} // namespace Csv
