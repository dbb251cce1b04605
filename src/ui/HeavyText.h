#pragma once

#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <functional>

class QFont;
class QGlyphRun;
class QPainter;

// Text in a weight its face lacks: the letters with a band Fonts::syntheticStroke wide laid around
// their outlines, so the rounded extra-bold and black texts read heavier than the bold ones beside them.
namespace HeavyText {

// QPainter::drawText(rect, flags, text) with the painter's font and pen colour. Alignment, word wrap
// and clipping follow drawText; without a missing weight it is drawText itself.
void draw(QPainter &p, const QRectF &rect, int flags, const QString &text);

// Glyph runs laid out elsewhere (baseline at y = 0, as FixedDigits lays out figures) drawn from
// `baseline` in the painter's pen, thickened as draw() thickens a text in the painter's font. `box` is
// the line's box about the runs' origin; `key` names the runs (their font and text) for the caches.
void drawRuns(QPainter &p, const QPointF &baseline, const QList<QGlyphRun> &runs, const QRectF &box,
              const QString &key);

// The band `stroke` wide around the letters of `runs` drawn with their origin at `offset`. Colour
// emoji have no outlines and get none.
QPainterPath band(const QList<QGlyphRun> &runs, const QPointF &offset, qreal stroke);

// Paints `letters` (drawn in the painter's pen colour) and `band` around them as one ink: with a
// translucent pen or painter opacity, through a layer over `area`, so where they overlap is no darker.
void paint(QPainter &p, const QRectF &area, const QPainterPath &band,
           const std::function<void(QPainter &)> &letters);

// `glyphs` (an outline of letters) thickened by a round-joined outline `stroke` wide, as one shape.
QPainterPath thickened(const QPainterPath &glyphs, qreal stroke);

} // namespace HeavyText
