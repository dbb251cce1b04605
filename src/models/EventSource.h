#pragma once

#include <QString>
#include <optional>

// Where a press came from; the raw value is the case name and is what the store keeps.
enum class EventSource
{
    menuBar,
    shortcut,
    dashboard,
    url,
    physical,
    demo
};

QString rawValue(EventSource source);
// Exact, case-sensitive match of one of the six raw values; anything else names no source.
std::optional<EventSource> eventSourceFromRaw(const QString &raw);
