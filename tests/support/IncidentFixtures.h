#pragma once

#include "models/VorpEvent.h"

#include <QDateTime>
#include <QTimeZone>
#include <optional>

// Small builders for incident lists in a pinned time zone.
namespace Fixtures {

inline QDateTime at(const QTimeZone &zone, int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms), zone);
}

inline VorpEvent incident(const QDateTime &timestamp, std::optional<QString> triggerKey = std::nullopt,
                          std::optional<QString> appName = std::nullopt,
                          std::optional<QString> bundleIdentifier = std::nullopt,
                          std::optional<QString> note = std::nullopt)
{
    VorpEvent event;
    event.timestamp = timestamp;
    event.triggerKey = std::move(triggerKey);
    event.appName = std::move(appName);
    event.bundleIdentifier = std::move(bundleIdentifier);
    event.note = std::move(note);
    return event;
}

} // namespace Fixtures
