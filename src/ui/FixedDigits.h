#pragma once

#include <QGlyphRun>
#include <QList>
#include <QString>

class QFont;
class QPainter;
class QPointF;
class QRectF;

// Figures on a fixed advance: each digit 0–9 centred in the advance of the face's widest digit, so
// a number is as wide as its count of digits and a changing number does not jiggle. Qt 6.4 cannot
// ask a font for its tabular figures, and the design's faces draw proportional ones.
namespace FixedDigits {

// The widest advance among the digits 0–9 of `font`.
qreal advance(const QFont &font);

// `text` shaped in `font` on one line, baseline at y = 0 and starting at x = 0: each digit in its
// fixed cell, every other character at its own advance.
struct Line
{
    QList<QGlyphRun> runs;
    qreal width = 0;
};
Line layout(const QFont &font, const QString &text);

// The laid-out text drawn with its baseline starting at `baseline`, in the painter's pen.
void draw(QPainter &p, const QPointF &baseline, const QFont &font, const QString &text);

// The text on one line in the painter's font and pen, placed in `rect` by `alignment` where
// QPainter::drawText puts one line, and thickened as HeavyText thickens a weight its face lacks.
void draw(QPainter &p, const QRectF &rect, Qt::Alignment alignment, const QString &text);

} // namespace FixedDigits
