#pragma once

#include "DashboardTab.h"

#include <QStringList>

// What the command line asks of a launch. Unknown arguments are ignored.
struct LaunchArguments
{
    bool demo = false;               // "--demo": demo data into an empty store
    std::optional<DashboardTab> tab; // the first "--tab=" argument, when it names a page
    bool dashboard = false;          // "--dashboard"
    bool panel = false;              // "--panel"

    // The whole argument list, program path included. Only the first "--tab=" argument counts,
    // whether or not its value names a page.
    static LaunchArguments parse(const QStringList &arguments);
};
