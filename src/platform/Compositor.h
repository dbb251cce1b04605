#pragma once

// Whether translucent windows show what lies behind them, which needs a compositing manager. On
// X11 that is an owner of the _NET_WM_CM_S<screen> selection, asked afresh on every call so a
// compositor started or stopped later is followed; other platforms always composite.
namespace Compositor {

bool isRunning();

} // namespace Compositor
