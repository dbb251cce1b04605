#pragma once

#include "models/VorpEvent.h"

#include <optional>

// The application in front of the user (backed by ActiveAppService).
class FrontmostApp
{
public:
    virtual ~FrontmostApp() = default;

    // Starts following activation changes; called once at start-up.
    virtual void start() = 0;
    // The frontmost application that is not Grumblix, else the last such one; none if none was seen.
    virtual std::optional<AppContext> currentContext() const = 0;
    // The most recently activated application that is not Grumblix; none until one was seen.
    virtual std::optional<AppContext> lastExternal() const = 0;
};
