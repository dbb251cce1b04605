#pragma once

#include <QString>

// What a trigger row's four buttons offer, from its place in the list and the trigger's kind.
struct TriggerRowState
{
    bool upEnabled = false;
    bool downEnabled = false;
    QString hideSymbol;
    QString hideHelp;
    // Built-in triggers cannot be deleted; their delete button keeps its slot, invisible.
    bool deleteShown = false;

    static TriggerRowState of(int position, int count, bool isBuiltIn, bool isHidden);
    bool operator==(const TriggerRowState &) const = default;
};
