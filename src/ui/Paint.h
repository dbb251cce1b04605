#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>

class QPainter;

// Small drawing helpers shared by the paint functions of the kit.
namespace Paint {

QPainterPath roundedRect(const QRectF &rect, qreal radius);

// Fills `rect` and strokes a border of `width` inside its edge (inset by half the width).
void roundedBox(QPainter &p, const QRectF &rect, qreal radius, const QColor &fill, const QColor &border,
                qreal width);

// A shape's hard shadow: the same rounded rectangle filled with `color`, shifted by `offset`.
void slab(QPainter &p, const QRectF &rect, qreal radius, const QPointF &offset, const QColor &color);

// The colour `t` of the way from `a` to `b` (clamped to 0…1), alpha included.
QColor mix(const QColor &a, const QColor &b, qreal t);

// The keyboard-focus ring: a red 1.5 line just outside `rect`.
void focusRing(QPainter &p, const QRectF &rect, qreal radius);

// A blurred drop shadow of a rounded rectangle (`blur` is the radius).
void softShadow(QPainter &p, const QRectF &rect, qreal radius, const QColor &color, qreal blur,
                const QPointF &offset);

// Text (an emoji) drawn as `alignment` places it in a box of `size`, kept in QPixmapCache: colour
// emoji glyphs are decoded from PNG and shaped again at every paint, which made each new toast
// cost milliseconds.
QPixmap emoji(const QString &text, const QFont &font, const QSizeF &size, Qt::Alignment alignment,
              const QColor &color, qreal dpr);

} // namespace Paint
