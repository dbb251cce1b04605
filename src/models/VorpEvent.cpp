#include "VorpEvent.h"

#include <algorithm>

bool StoredBytes::isEmpty() const
{
    return std::none_of(columns.cbegin(), columns.cend(), [](const auto &c) { return c.has_value(); });
}

VorpEvent VorpEvent::make(const QDateTime &timestamp, std::optional<QString> appName,
                          std::optional<QString> bundleIdentifier, std::optional<QString> triggerKey,
                          std::optional<QString> note, EventSource source)
{
    VorpEvent event;
    event.uuid = QUuid::createUuid();
    event.timestamp = timestamp;
    event.appName = std::move(appName);
    event.bundleIdentifier = std::move(bundleIdentifier);
    event.triggerKey = std::move(triggerKey);
    event.note = std::move(note);
    event.sourceRaw = rawValue(source);
    return event;
}
