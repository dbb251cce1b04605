#pragma once

#include "features/report/cards/CardDrawing.h"
#include "services/WeeklyReport.h"
#include "ui/ButtonSkin.h"

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QSizeF>
#include <functional>

// The pieces every report card shares.
namespace ReportPieces {

// The product mark: the small panic button in the user's skin, 1.55 × `size` across, then
// "GRUMBLIX" in condensed black capitals of `size` points, 6 apart and centred on one another.
QSizeF watermarkSize(qreal size);
// Draws the mark with its top-left corner at `topLeft` and records it as the part "watermark".
QRectF watermark(CardDrawing &d, QPointF topLeft, qreal size, const QColor &color, ButtonSkin skin);

// The straight segment through the middle of `rect`, starting at x = 0 of the rectangle's own
// coordinates (not at its left edge) and ending at its right edge.
QPainterPath dashedLinePath(const QRectF &rect);
// A 1-point rule along the middle of `frame` (whose height is 1), dashed with `dash` (on, off, …).
void dashed(CardDrawing &d, const QRectF &frame, const QColor &color, const QList<qreal> &dash);

// `color` with its opacity multiplied by `factor`.
QColor faded(QColor color, qreal factor);
// A filled rectangle, rounded by `radius` when it is above 0.
void fill(CardDrawing &d, const QRectF &rect, const QColor &color, qreal radius = 0);
// A border of `width` drawn inside the edge of `rect`, rounded by `radius` when it is above 0.
void frame(CardDrawing &d, const QRectF &rect, qreal width, const QColor &color, qreal radius = 0);
// A sheet of paper of `size`: its soft shadow, the fill and a 1-point border inside its edge. The
// card's own drawing goes on top.
CardDrawing paperSheet(const QSizeF &size, const QColor &fill, const QColor &border);
// The soft shadow a paper card casts: `shape` (within `size`) in black at 18 %, blurred, 6 down.
void dropShadow(CardDrawing &d, const QPainterPath &shape, const QSizeF &size, const QString &cacheKey);

// The verdict as one paragraph: each line break becomes a blank.
QString verdictParagraph(const WeeklyReport &report);

// Draws what `draw` paints inside `rect` through an image kept under `key` (with the size and the
// device's resolution), for pieces that look the same on every card and cost more to draw than to
// copy: the stripe bands and the mark's button.
void cached(CardDrawing &d, const QRectF &rect, const QString &key, std::function<void(QPainter &)> draw);
void paintCached(QPainter &p, const QRectF &rect, const QString &key,
                 const std::function<void(QPainter &)> &draw);

// The week number printed on the receipt, tabloid and form: week-of-year of the week's first day,
// weeks starting on Monday, the first week the one with at least four days of the new year,
// whatever the user's own calendar starts weeks with.
int weekNumber(const WeeklyReport &report);

} // namespace ReportPieces
