#pragma once

#include <QList>
#include <Qt>
#include <optional>

// What the history page does with a key press while it is on screen.
namespace HistoryKeys {

enum class Action
{
    PassOn,         // the window and the other handlers get the key
    StepDown,       // select the next visible row (consumed)
    StepUp,         // select the previous visible row (consumed)
    AskDelete,      // ask to delete the selected incident (consumed)
    ClearSelection, // (consumed)
};

struct State
{
    bool textFocused = false;    // a text field or text editor has the keyboard
    bool popupOpen = false;      // a pop-over or drop-down menu is open
    bool dialogOpen = false;     // a confirmation dialog is open
    bool hasSelection = false;   // a selection is set, whether or not its incident still exists
    bool selectedExists = false; // the selection names an incident that is still stored
};

// Keys pass on while text is edited, while an overlay is open and while Ctrl, Alt or Super is
// held; Shift does not count.
Action decide(int key, Qt::KeyboardModifiers modifiers, const State &state);

// The row a step of `offset` lands on in the visible rows: from the selected row (clamped to the
// list), or the top row when nothing visible is selected; none on an empty list.
std::optional<qsizetype> stepTarget(const QList<qint64> &visibleIds, std::optional<qint64> selection,
                                    int offset);

} // namespace HistoryKeys
