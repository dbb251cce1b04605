#pragma once

#include "models/Trigger.h"
#include "models/VorpEvent.h"

#include <QList>
#include <QString>
#include <optional>

// What a store file holds on disk, read the way the store reads it but without becoming its
// writer: while a model holds the store, a second Store over the file is refused, so a test that
// checks what reached the disk reads it with these.
namespace StoredRecords {

// Incidents in timestamp order (ties by row id), triggers by sortOrder; empty when the file cannot
// be read.
QList<VorpEvent> events(const QString &storePath);
std::optional<VorpEvent> event(const QString &storePath, qint64 id);
QList<Trigger> triggers(const QString &storePath);

} // namespace StoredRecords
