#pragma once

#include "EventSource.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUuid>
#include <array>
#include <memory>
#include <optional>

// The application an incident is charged to.
struct AppContext
{
    std::optional<QString> name;
    std::optional<QString> bundleID;
    bool operator==(const AppContext &) const = default;
};

// The columns of an incident as the store names them, in schema order.
enum class EventField
{
    uuid,
    timestamp,
    appName,
    bundleIdentifier,
    triggerKey,
    note,
    sourceRaw,
};
inline constexpr int eventFieldCount = 7;

// What a damaged or hand-edited store held where it names no value this program can read (a
// timestamp of "Inf" or text, a uuid that is no uuid, bytes that are not UTF-8): the column's own
// bytes, so an export gives them back and nothing writes a stand-in over them.
struct StoredBytes
{
    std::array<std::optional<QByteArray>, eventFieldCount> columns;
    const std::optional<QByteArray> &operator[](EventField field) const { return columns[int(field)]; }
    std::optional<QByteArray> &operator[](EventField field) { return columns[int(field)]; }
    bool isEmpty() const;
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
    // Null for a record whose every column read as what it says; otherwise the unreadable ones,
    // while the fields above hold the fallback that is shown.
    std::shared_ptr<const StoredBytes> unreadable;

    // A new detached record with a fresh random uuid.
    static VorpEvent make(const QDateTime &timestamp, std::optional<QString> appName,
                          std::optional<QString> bundleIdentifier, std::optional<QString> triggerKey,
                          std::optional<QString> note, EventSource source);

    std::optional<EventSource> source() const { return eventSourceFromRaw(sourceRaw); }

    // The stored bytes of `field` when they could not be read as its value.
    const QByteArray *unreadableColumn(EventField field) const
    {
        return unreadable && (*unreadable)[field] ? &*(*unreadable)[field] : nullptr;
    }

    // Identity is the stored record, never the uuid.
    bool sameRecord(const VorpEvent &other) const { return id != 0 && id == other.id; }
};
