#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>

class QFont;
class QPainter;

// Text in a weight its face lacks: the letters' outlines thickened by Fonts::syntheticStroke, so the
// rounded extra-bold and black texts read heavier than the bold ones beside them.
namespace HeavyText {

// QPainter::drawText(rect, flags, text) with the painter's font and pen colour. Alignment, word wrap
// and clipping follow drawText; without a missing weight it is drawText itself.
void draw(QPainter &p, const QRectF &rect, int flags, const QString &text);

// `glyphs` (an outline of letters) thickened by a round-joined outline `stroke` wide, as one shape.
QPainterPath thickened(const QPainterPath &glyphs, qreal stroke);

} // namespace HeavyText
