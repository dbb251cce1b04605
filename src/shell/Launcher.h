#pragma once

#include <memory>
#include <optional>

class SingleInstance;

// The first thing a launch does, before any application object: hand its arguments to the running
// instance and end, or become the instance. Returns the exit status when this process is done (its
// message already on stderr); none when it is the instance, which `instance` then holds.
std::optional<int> handOverOrClaim(int argc, char **argv, std::unique_ptr<SingleInstance> &instance);
