#pragma once

#include "models/EventSnapshot.h"

#include <QHash>
#include <QList>

// How many incidents carry each trigger key, over every incident (any date, any source), in one
// pass. Incidents without a key are skipped; a key no incident carries is absent (count 0).
QHash<QString, int> incidentCountsByTrigger(const EventSnapshot &events);
