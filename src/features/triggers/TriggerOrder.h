#pragma once

#include "models/Trigger.h"

#include <QList>
#include <optional>

// Moving one trigger of the list (in sortOrder order) `offset` places: the two entries swap and
// every trigger's sortOrder becomes its position, 0 … n−1, closing gaps and ties left by adds and
// deletes. Nothing when the target lies outside the list.
std::optional<QList<Trigger>> movedTriggers(QList<Trigger> triggers, int position, int offset);
