#include "ui/FixedDigits.h"

#include "ui/Fonts.h"
#include "ui/HeavyText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace FixedDigits {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// One piece of the text shaped alone, its glyphs moved right by `x`; returns its natural width.
qreal shape(const QFont &font, const QString &piece, qreal x, QList<QGlyphRun> &runs)
{
    QTextLayout layout(piece, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return 0;
    const qreal ascent = line.ascent();
    for (QGlyphRun run : line.glyphRuns()) {
        QList<QPointF> positions = run.positions();
        for (QPointF &at : positions)
            at += QPointF(x, -ascent);
        run.setPositions(positions);
        runs.append(run);
    }
    return line.naturalTextWidth();
}

} // namespace

qreal advance(const QFont &font)
{
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (char d = '0'; d <= '9'; ++d)
        widest = qMax(widest, metrics.horizontalAdvance(QLatin1Char(d)));
    return widest;
}

Line layout(const QFont &font, const QString &text)
{
    Line line;
    const QFontMetricsF metrics(font);
    const qreal cell = advance(font);
    qsizetype i = 0;
    while (i < text.size()) {
        if (isDigit(text.at(i))) {
            const qreal own = metrics.horizontalAdvance(text.at(i));
            shape(font, QString(text.at(i)), line.width + (cell - own) / 2, line.runs);
            line.width += cell;
            ++i;
            continue;
        }
        // Everything up to the next digit keeps its own shaping and advance.
        qsizetype end = i;
        while (end < text.size() && !isDigit(text.at(end)))
            ++end;
        line.width += shape(font, text.mid(i, end - i), line.width, line.runs);
        i = end;
    }
    return line;
}

void draw(QPainter &p, const QPointF &baseline, const QFont &font, const QString &text)
{
    for (const QGlyphRun &run : layout(font, text).runs)
        p.drawGlyphRun(baseline, run);
}

void draw(QPainter &p, const QRectF &rect, Qt::Alignment alignment, const QString &text)
{
    if (text.isEmpty())
        return;
    // The letters in the weight their face has; HeavyText adds what is missing.
    const QFont face = Fonts::faceWeight(p.font());
    const Line line = layout(face, text);
    const QFontMetricsF metrics(face);
    qreal x = rect.left();
    if (alignment & Qt::AlignHCenter)
        x += (rect.width() - line.width) / 2;
    else if (alignment & Qt::AlignRight)
        x = rect.right() - line.width;
    // The line's top exactly where drawText puts it (it rounds a centred line's offset).
    const qreal top =
        metrics.boundingRect(rect, int(alignment & Qt::AlignVertical_Mask) | Qt::TextSingleLine, text).top();
    const QRectF box(0, -metrics.ascent(), line.width, metrics.height());
    HeavyText::drawRuns(p, QPointF(x, top + metrics.ascent()), line.runs, box,
                        face.key() + QLatin1Char('|') + text);
}

} // namespace FixedDigits
