#pragma once

#include "platform/HandOver.h"

#include <QStringList>
#include <memory>
#include <optional>

class SingleInstance;

// The first thing the program proper does, before any application object: hand its arguments (the
// program path left out) to the running instance, or become the instance. Returns what became of
// the launch when this process is done with it; none when it is the instance, which `instance`
// then holds.
std::optional<HandOver::Reply> handOverOrClaim(const QStringList &arguments,
                                               std::unique_ptr<SingleInstance> &instance);
