#include "features/report/cards/CardText.h"

#include "ui/FixedDigits.h"
#include "ui/HeavyText.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QTextLayout>
#include <QtMath>

CardFont CardFont::make(qreal size, QFont::Weight weight, Fonts::Design design, qreal kerning, bool italic)
{
    static QHash<QString, CardFont> made;
    const QString key =
        QStringLiteral("%1|%2|%3|%4|%5").arg(size).arg(int(weight)).arg(int(design)).arg(kerning).arg(italic);
    if (const auto it = made.constFind(key); it != made.constEnd())
        return *it;
    CardFont f;
    const int pixels = qMax(1, qCeil(size - 1e-6));
    f.font = Fonts::font(pixels, weight, design);
    f.font.setItalic(italic);
    f.scale = size / pixels;
    if (kerning != 0)
        f.font = Fonts::tracked(f.font, kerning / f.scale);
    const QFontMetricsF metrics(f.font);
    f.fontAscent = metrics.ascent();
    f.fontDescent = metrics.descent();
    made.insert(key, f);
    return f;
}

CardFont CardFont::scaled(qreal factor) const
{
    CardFont f = *this;
    f.scale *= factor;
    return f;
}

qreal CardFont::width(const QString &text) const
{
    return QFontMetricsF(font).horizontalAdvance(text) * scale;
}

namespace CardType {

namespace {

// A line shaped once, when the card is laid out, so that painting only places glyphs.
struct Shaped
{
    QList<QGlyphRun> runs;
    QPointF origin; // where the line's baseline starts in the runs' coordinates
};

QTextOption lineOption(QTextOption::WrapMode wrap)
{
    QTextOption option;
    option.setWrapMode(wrap);
    // Right-to-left text keeps to the left edge the card measured for it.
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    return option;
}

Shaped shapedLine(const QTextLine &line)
{
    return {line.glyphRuns(), QPointF(line.x(), line.y() + line.ascent())};
}

void place(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text,
           const Shaped &shaped, const QRectF &rect)
{
    const QPointF baseline(rect.left(), rect.top() + font.ascent());
    // Rounded black and extra-bold lines get the band that makes up for the face's missing weight,
    // in the font's own units, made once with the layout.
    const qreal stroke = Fonts::syntheticStroke(font.font);
    const QPainterPath band =
        stroke > 0 ? HeavyText::band(shaped.runs, -shaped.origin, stroke) : QPainterPath();
    const QRectF area = QRectF((rect.topLeft() - baseline) / font.scale, rect.size() / font.scale)
                            .adjusted(-stroke, -stroke, stroke, stroke);
    d.add([scale = font.scale, color, shaped, baseline, band, area](QPainter &p) {
        p.translate(baseline);
        p.scale(scale, scale);
        p.setPen(color);
        auto letters = [&shaped](QPainter &q) {
            for (const QGlyphRun &run : shaped.runs)
                q.drawGlyphRun(-shaped.origin, run);
        };
        if (band.isEmpty())
            letters(p);
        else
            HeavyText::paint(p, area, band, letters);
    });
    d.addText({text, rect, font.size()});
}

} // namespace

QRectF line(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text, QPointF topLeft)
{
    if (text.isEmpty())
        return QRectF(topLeft, QSizeF(0, font.height()));
    QTextLayout layout(text, font.font);
    layout.setTextOption(lineOption(QTextOption::NoWrap));
    layout.beginLayout();
    const QTextLine l = layout.createLine();
    layout.endLayout();
    const QRectF rect(topLeft, QSizeF(l.naturalTextWidth() * font.scale, font.height()));
    place(d, font, color, text, shapedLine(l), rect);
    return rect;
}

Fitted fit(const CardFont &font, const QString &text, qreal maxWidth, qreal minScale)
{
    const qreal natural = font.width(text);
    if (natural <= maxWidth)
        return {font, text, natural};
    const CardFont shrunk = font.scaled(qMax(minScale, maxWidth / natural));
    qreal width = shrunk.width(text);
    if (width <= maxWidth + 0.01)
        return {shrunk, text, width};
    const QString cut = QFontMetricsF(shrunk.font).elidedText(text, Qt::ElideRight, maxWidth / shrunk.scale);
    return {shrunk, cut, shrunk.width(cut)};
}

QRectF line(CardDrawing &d, const Fitted &fitted, const QColor &color, QPointF topLeft)
{
    return line(d, fitted.font, color, fitted.text, topLeft);
}

qreal figuresWidth(const CardFont &font, const QString &text)
{
    return FixedDigits::layout(font.font, text).width * font.scale;
}

QRectF figures(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text,
               QPointF topLeft)
{
    if (text.isEmpty())
        return QRectF(topLeft, QSizeF(0, font.height()));
    const FixedDigits::Line laid = FixedDigits::layout(font.font, text);
    const QRectF rect(topLeft, QSizeF(laid.width * font.scale, font.height()));
    place(d, font, color, text, Shaped{laid.runs, QPointF(0, 0)}, rect);
    return rect;
}

qreal wrapped(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text, qreal x,
              qreal y, qreal width, Qt::Alignment alignment, qreal spacing)
{
    if (text.isEmpty())
        return 0;
    qreal top = y;
    // Line breaks in the text start new lines; each paragraph then wraps on its own.
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font.font);
        layout.setTextOption(lineOption(QTextOption::WrapAtWordBoundaryOrAnywhere));
        layout.beginLayout();
        QList<QTextLine> lines;
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(qMax<qreal>(1.0, width / font.scale));
            lines.append(l);
        }
        layout.endLayout();
        if (lines.isEmpty())
            top += font.height() + spacing; // an empty paragraph is a blank line
        for (const QTextLine &l : lines) {
            const qreal lineWidth = l.naturalTextWidth() * font.scale;
            qreal left = x;
            if (alignment & Qt::AlignHCenter)
                left = x + (width - lineWidth) / 2;
            else if (alignment & Qt::AlignRight)
                left = x + width - lineWidth;
            const QString part = paragraph.mid(l.textStart(), l.textLength()).trimmed();
            if (!part.isEmpty())
                place(d, font, color, part, shapedLine(l), QRectF(left, top, lineWidth, font.height()));
            top += font.height() + spacing;
        }
    }
    return top - spacing - y;
}

} // namespace CardType
