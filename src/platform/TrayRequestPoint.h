#pragma once

#include <QPoint>
#include <optional>

// Where a StatusNotifier tray host asked for the menu. Qt's item adaptor takes the coordinates of
// ContextMenu(x, y) and Activate(x, y) only to log them to the "qt.qpa.tray" category before it
// reports the click; this catches them there (without printing them, unless that category was
// enabled by the user) so the click's handler can place what it opens at the host's point.
namespace TrayRequestPoint {

// Once, on the main thread, before the tray icon exists.
void install();
// The point logged for the click being handled, if any; each point is handed out once.
std::optional<QPoint> take();

} // namespace TrayRequestPoint
