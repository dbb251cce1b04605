#include "features/report/cards/CardText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QtMath>
#include <limits>

CardFont CardFont::make(qreal size, QFont::Weight weight, Fonts::Design design, qreal kerning, bool italic)
{
    CardFont f;
    const int pixels = qMax(1, qCeil(size - 1e-6));
    f.font = Fonts::font(pixels, weight, design);
    f.font.setItalic(italic);
    f.scale = size / pixels;
    if (kerning != 0)
        f.font = Fonts::tracked(f.font, kerning / f.scale);
    return f;
}

CardFont CardFont::scaled(qreal factor) const
{
    CardFont f = *this;
    f.scale *= factor;
    return f;
}

qreal CardFont::ascent() const
{
    return QFontMetricsF(font).ascent() * scale;
}

qreal CardFont::descent() const
{
    return QFontMetricsF(font).descent() * scale;
}

qreal CardFont::width(const QString &text) const
{
    return QFontMetricsF(font).horizontalAdvance(text) * scale;
}

namespace CardType {

namespace {

void drawAt(QPainter &p, const CardFont &font, const QColor &color, const QString &text, QPointF baseline)
{
    p.translate(baseline);
    p.scale(font.scale, font.scale);
    p.setFont(font.font);
    p.setPen(color);
    p.drawText(QPointF(0, 0), text);
}

struct Line
{
    QString text;
    qreal width;
};

QList<Line> breakLines(const CardFont &font, const QString &text, qreal width)
{
    QList<Line> lines;
    if (text.isEmpty())
        return lines;
    // Line breaks in the text start new lines; each paragraph then wraps on its own.
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font.font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(qMax<qreal>(1.0, width / font.scale));
            const QString part = paragraph.mid(l.textStart(), l.textLength()).trimmed();
            lines.append({part, font.width(part)});
            any = true;
        }
        layout.endLayout();
        if (!any)
            lines.append({QString(), 0});
    }
    return lines;
}

} // namespace

QRectF line(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text, QPointF topLeft)
{
    const QRectF rect(topLeft, QSizeF(font.width(text), font.height()));
    if (!text.isEmpty()) {
        const QPointF baseline(topLeft.x(), topLeft.y() + font.ascent());
        d.add([font, color, text, baseline](QPainter &p) { drawAt(p, font, color, text, baseline); });
        d.addText({text, rect, font.size()});
    }
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

qreal wrapped(CardDrawing &d, const CardFont &font, const QColor &color, const QString &text, qreal x,
              qreal y, qreal width, Qt::Alignment alignment, qreal spacing)
{
    const QList<Line> lines = breakLines(font, text, width);
    qreal top = y;
    for (const Line &l : lines) {
        qreal left = x;
        if (alignment & Qt::AlignHCenter)
            left = x + (width - l.width) / 2;
        else if (alignment & Qt::AlignRight)
            left = x + width - l.width;
        line(d, font, color, l.text, QPointF(left, top));
        top += font.height() + spacing;
    }
    return lines.isEmpty() ? 0.0 : top - spacing - y;
}

} // namespace CardType
