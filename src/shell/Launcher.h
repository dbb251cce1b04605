#pragma once

#include <QStringList>
#include <memory>
#include <optional>

class SingleInstance;

// The first thing the program proper does, before any application object: hand its arguments (the
// program path left out) to the running instance and end, or become the instance. Returns the exit
// status when this process is done (its message already on stderr); none when it is the instance,
// which `instance` then holds.
std::optional<int> handOverOrClaim(const QStringList &arguments, std::unique_ptr<SingleInstance> &instance);
