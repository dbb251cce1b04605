#include "features/history/HistoryKeys.h"

#include <algorithm>

namespace HistoryKeys {

Action decide(int key, Qt::KeyboardModifiers modifiers, const State &state)
{
    if (state.textFocused || state.popupOpen || state.dialogOpen)
        return Action::PassOn;
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return Action::PassOn;
    switch (key) {
    case Qt::Key_Down:
        return Action::StepDown;
    case Qt::Key_Up:
        return Action::StepUp;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return state.selectedExists ? Action::AskDelete : Action::PassOn;
    case Qt::Key_Escape:
        return state.hasSelection ? Action::ClearSelection : Action::PassOn;
    default:
        return Action::PassOn;
    }
}

std::optional<qsizetype> stepTarget(const QList<qint64> &visibleIds, std::optional<qint64> selection,
                                    int offset)
{
    if (visibleIds.isEmpty())
        return std::nullopt;
    const qsizetype at = selection ? visibleIds.indexOf(*selection) : -1;
    if (at < 0)
        return 0;
    return std::clamp<qsizetype>(at + offset, 0, visibleIds.size() - 1);
}

} // namespace HistoryKeys
