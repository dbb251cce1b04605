#pragma once

#include <QMargins>
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

// Where the dashboard's client area goes and how small it may get.
struct Fit
{
    QRect geometry;
    QSize minimum;
};

// The dashboard's client area (menu bar included) fitted with its `decoration` (title bar, borders)
// into the available area: `size` shrunk to the room there, never below `minimum` unless the room
// itself is smaller, in which case the minimum shrinks to the room and the pages scroll. With a
// `position` (a restored frame's client corner) the frame is moved only as far as it must be to lie
// inside the area; without one it is centred. An invalid area fits nothing.
Fit fitDashboard(const QSize &size, const std::optional<QPoint> &position, const QSize &minimum,
                 const QMargins &decoration, const QRect &available);

} // namespace WindowPlacement
