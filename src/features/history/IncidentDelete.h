#pragma once

#include <functional>

class OverlayCenter;

// The incident delete confirmation, shown by the history list's keys and context menu and by the
// editor's trash button: closes any pop-over, opens the dialog and lets Escape cancel and Return
// confirm. `action` runs only on confirmation. Does nothing without an overlay.
void askDeleteIncident(OverlayCenter *overlay, std::function<void()> action);
