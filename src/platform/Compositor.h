#pragma once

// Whether translucent windows show what lies behind them, which needs a compositing manager. On
// X11 that is an owner of the _NET_WM_CM_S<screen> selection, asked afresh on every call so a
// compositor started or stopped later is followed; other platforms always composite.
namespace Compositor {

bool isRunning();

// Sends what Qt has queued for the X server. A window's opacity is a property of the window, and
// Qt sends it only with the next request that empties its queue (a repaint, say): a fade that
// changes nothing else would reach the compositor in one or two jumps.
void flush();

} // namespace Compositor
