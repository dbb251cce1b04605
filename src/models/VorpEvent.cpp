#include "VorpEvent.h"

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
