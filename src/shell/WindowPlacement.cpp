#include "WindowPlacement.h"

#include <QtMath>

namespace WindowPlacement {

QPoint panelPosition(const QSize &panel, const std::optional<QRect> &trayIcon, const QPoint &pointer,
                     const QRect &available)
{
    // Until the tray has embedded it, the icon reports its unplaced frame at the origin; a panel
    // opened then (a first start with --panel) goes under the pointer, not into the corner. With
    // no screen known there is nothing better than the icon's word.
    const bool unplaced = available.isValid() && trayIcon && trayIcon->topLeft() == QPoint(0, 0);
    const bool placed = trayIcon && trayIcon->isValid() && !trayIcon->isEmpty() && !unplaced;
    const QRect anchor = placed ? *trayIcon : QRect(pointer, QSize(0, 0));
    const int w = panel.width();
    const int h = panel.height();
    int x = qRound(anchor.x() + anchor.width() / 2.0 - w / 2.0);
    int y = anchor.y() + anchor.height() + 2;
    const int bottom = available.y() + available.height();
    if (available.isValid() && y + h > bottom && anchor.y() - h - 2 >= available.y())
        y = anchor.y() - h - 2;
    if (!available.isValid())
        return {x, y};
    x = qMax(x, available.x() + 8);
    x = qMin(x, available.x() + available.width() - w - 8);
    y = qMin(y, bottom - h);
    y = qMax(y, available.y());
    return {x, y};
}

QPoint toastPosition(const QSize &toast, const QRect &available)
{
    return {qRound(available.x() + available.width() / 2.0 - toast.width() / 2.0), available.y() + 10};
}

QRect centred(const QSize &size, const QRect &available)
{
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(available.center());
    return frame;
}

Fit fitDashboard(const QSize &size, const std::optional<QPoint> &position, const QSize &minimum,
                 const QMargins &decoration, const QRect &available)
{
    const QPoint corner = position.value_or(QPoint(0, 0));
    if (!available.isValid())
        return {QRect(corner, size.expandedTo(minimum)), minimum};
    const QSize room = available.size().shrunkBy(decoration).expandedTo(QSize(1, 1));
    const QSize least = minimum.boundedTo(room);
    const QSize client = size.boundedTo(room).expandedTo(least);
    QRect frame(QPoint(0, 0), client.grownBy(decoration));
    if (!position) {
        frame.moveCenter(available.center());
    } else {
        frame.moveTopLeft(corner - QPoint(decoration.left(), decoration.top()));
        // The frame is no larger than the area, so one shift per side brings it inside.
        if (frame.right() > available.right())
            frame.moveRight(available.right());
        if (frame.bottom() > available.bottom())
            frame.moveBottom(available.bottom());
        if (frame.left() < available.left())
            frame.moveLeft(available.left());
        if (frame.top() < available.top())
            frame.moveTop(available.top());
    }
    return {frame.marginsRemoved(decoration), least};
}

} // namespace WindowPlacement
