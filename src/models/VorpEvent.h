#pragma once

#include "EventSource.h"

#include <QDateTime>
#include <QString>
#include <QUuid>
#include <optional>

// The application an incident is charged to.
struct AppContext
{
    std::optional<QString> name;
    std::optional<QString> bundleID;
    bool operator==(const AppContext &) const = default;
};

// One logged incident. A plain value: the store hands out copies, and `id` (the row id) is the
// identity; 0 means the record was never inserted. Optional texts are absent, never empty stand-ins.
struct VorpEvent
{
    qint64 id = 0;
    QUuid uuid;
    QDateTime timestamp;
    std::optional<QString> appName;
    std::optional<QString> bundleIdentifier;
    std::optional<QString> triggerKey;
    std::optional<QString> note;
    QString sourceRaw = QStringLiteral("menuBar");

    // A new detached record with a fresh random uuid.
    static VorpEvent make(const QDateTime &timestamp, std::optional<QString> appName,
                          std::optional<QString> bundleIdentifier, std::optional<QString> triggerKey,
                          std::optional<QString> note, EventSource source);

    std::optional<EventSource> source() const { return eventSourceFromRaw(sourceRaw); }

    // Identity is the stored record, never the uuid.
    bool sameRecord(const VorpEvent &other) const { return id != 0 && id == other.id; }
};
