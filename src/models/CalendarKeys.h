#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

// Keys for once-a-day and once-a-week bookkeeping, taken in the given zone with Monday-first,
// ISO 8601 weeks. Plain decimal, no zero padding: "2027-1-9", "2026-W53". Compared for equality only.
QString dayKey(const QDateTime &moment, const QTimeZone &zone);
QString weekKey(const QDateTime &moment, const QTimeZone &zone);
