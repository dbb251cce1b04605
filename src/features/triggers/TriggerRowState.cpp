#include "features/triggers/TriggerRowState.h"

TriggerRowState TriggerRowState::of(int position, int count, bool isBuiltIn, bool isHidden)
{
    TriggerRowState state;
    state.upEnabled = position > 0;
    state.downEnabled = position < count - 1;
    state.hideSymbol = isHidden ? QStringLiteral("eye.slash") : QStringLiteral("eye");
    state.hideHelp = isHidden ? QStringLiteral("Show as chip") : QStringLiteral("Hide from chips");
    state.deleteShown = !isBuiltIn;
    return state;
}
