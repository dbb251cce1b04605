#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace WindowPlacement {

// The panel's top-left corner: centred under the tray icon (or the pointer when the tray does not
// say where its icon is, or has not placed it yet), 2 px below it; above it instead when the icon sits in a
// bottom panel. Then clamped into the screen's available area, 8 px from the sides; the right-hand rule is
// applied last, so a panel wider than the area keeps its right edge inside.
QPoint panelPosition(const QSize &panel, const std::optional<QRect> &trayIcon, const QPoint &pointer,
                     const QRect &available);

// The toast's top-left corner: centred horizontally, 10 px below the top of the available area.
QPoint toastPosition(const QSize &toast, const QRect &available);

// The dashboard's first frame: centred in the available area.
QRect centred(const QSize &size, const QRect &available);

} // namespace WindowPlacement
