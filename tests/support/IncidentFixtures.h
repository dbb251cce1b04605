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

inline VorpEvent incident(const QDateTime &timestamp, const std::optional<QString> &triggerKey = std::nullopt,
                          const std::optional<QString> &appName = std::nullopt,
                          const std::optional<QString> &bundleIdentifier = std::nullopt,
                          const std::optional<QString> &note = std::nullopt)
{
    return VorpEvent::make(timestamp, appName, bundleIdentifier, triggerKey, note, EventSource::menuBar);
}

} // namespace Fixtures
