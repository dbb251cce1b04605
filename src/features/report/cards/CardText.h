#pragma once

#include "features/report/cards/CardDrawing.h"
#include "ui/Fonts.h"

#include <QColor>
#include <QFont>
#include <QString>

// A face at any point size, fractions and shrinking included: the font itself is set at a whole
// pixel size and drawn scaled, since QFont takes whole pixels only. Faces are kept once made: a
// card asks for a few dozen, and resolving a new QFont costs more than the text it draws.
struct CardFont
{
    QFont font;
    qreal scale = 1.0;
    // Of `font` itself, before scaling.
    qreal fontAscent = 0;
    qreal fontDescent = 0;

    static CardFont make(qreal size, QFont::Weight weight, Fonts::Design design, qreal kerning = 0,
                         bool italic = false);

    qreal size() const { return font.pixelSize() * scale; }
    // The same face drawn `factor` times as large.
    CardFont scaled(qreal factor) const;

    qreal ascent() const { return fontAscent * scale; }
    qreal descent() const { return fontDescent * scale; }
    qreal height() const { return ascent() + descent(); }
    qreal width(const QString &text) const;
};

namespace CardType {

// One line of text with its top-left corner at `topLeft`; returns the rectangle it takes.
QRectF line(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text, QPointF topLeft);

// A one-line text that must fit `maxWidth`: drawn as is when it fits, else shrunk down to
// `minScale` of its size, and only then cut with an ellipsis.
struct Fitted
{
    CardFont font;
    QString text;
    qreal width = 0;
};
Fitted fit(const CardFont &font, const QString &text, qreal maxWidth, qreal minScale);
QRectF line(CardDrawing &d, const Fitted &fitted, const QColor &color, QPointF topLeft);

// A number with its digits on a fixed advance (FixedDigits), drawn as `line` draws a text, and its
// width. Returns the rectangle it takes.
qreal figuresWidth(const CardFont &font, const QString &text);
QRectF figures(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text,
               QPointF topLeft);

// Text wrapped at word boundaries (anywhere inside a word wider than the box) to `width`, each line
// placed by `alignment` (left, centre or right), lines `spacing` apart beyond the face's height; a
// line break in the text starts a new line. `y` is the top of the first line. Returns the height
// taken: 0 for an empty text.
qreal wrapped(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text, qreal x,
              qreal y, qreal width, Qt::Alignment alignment, qreal spacing = 0);

} // namespace CardType
