#include "ui/HeavyText.h"

#include "ui/Fonts.h"

#include <QCache>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>

namespace {

// Colour emoji faces hold bitmaps, not outlines. Asking one for a glyph's outline also leaves a
// wrong advance in the face's glyph cache, so later texts draw their emoji overlapping the letters.
bool hasOutlines(const QRawFont &raw)
{
    static QHash<QString, bool> known;
    const QString key = raw.familyName() + QLatin1Char('|') + raw.styleName();
    auto it = known.constFind(key);
    if (it != known.constEnd())
        return *it;
    // The bitmap location tables are small; the bitmaps themselves are not read.
    const bool outlines = raw.fontTable("CBLC").isEmpty() && raw.fontTable("EBLC").isEmpty();
    known.insert(key, outlines);
    return outlines;
}

QPainterPath strokeOf(const QPainterPath &glyphs, qreal stroke)
{
    QPainterPathStroker stroker;
    stroker.setWidth(stroke);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(glyphs);
}

// The band around the letters of `text` as drawText(QRectF(QPointF(), size), flags) lays them out.
QPainterPath bandOf(const QFont &font, const QSizeF &size, int flags, QString text, qreal stroke)
{
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode((flags & Qt::TextWordWrap) ? QTextOption::WordWrap : QTextOption::ManualWrap);
    layout.setTextOption(option);
    const qreal leading = QFontMetricsF(font).leading();
    qreal height = -leading;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth((flags & Qt::TextWordWrap) ? size.width() : 1e6);
        height += leading;
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();

    qreal top = 0;
    if (flags & Qt::AlignVCenter)
        top = (size.height() - height) / 2;
    else if (flags & Qt::AlignBottom)
        top = size.height() - height;

    QPainterPath band;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        qreal left = 0;
        if (flags & Qt::AlignHCenter)
            left = (size.width() - line.naturalTextWidth()) / 2;
        else if (flags & Qt::AlignRight)
            left = size.width() - line.naturalTextWidth();
        band.addPath(HeavyText::band(line.glyphRuns(), QPointF(left, top), stroke));
    }
    return band;
}

const QPainterPath &cachedBand(const QFont &font, const QSizeF &size, int flags, const QString &text,
                               qreal stroke)
{
    // Outlining is costly and a label repaints often: each band is made once.
    static QCache<QString, QPainterPath> cache(128);
    const QString key = font.key() + QLatin1Char('|') + QString::number(size.width(), 'f', 2) +
                        QLatin1Char('x') + QString::number(size.height(), 'f', 2) + QLatin1Char('|') +
                        QString::number(flags) + QLatin1Char('|') + text;
    QPainterPath *band = cache.object(key);
    if (!band) {
        band = new QPainterPath(bandOf(font, size, flags, text, stroke));
        cache.insert(key, band); // one unit of a cache of many: never refused
    }
    return *band;
}

} // namespace

namespace HeavyText {

QPainterPath band(const QList<QGlyphRun> &runs, const QPointF &offset, qreal stroke)
{
    QPainterPath glyphs;
    for (const QGlyphRun &run : runs) {
        const QRawFont raw = run.rawFont();
        if (!hasOutlines(raw))
            continue;
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype g = 0; g < indexes.size(); ++g)
            glyphs.addPath(raw.pathForGlyph(indexes.at(g)).translated(offset + positions.at(g)));
    }
    return glyphs.isEmpty() ? glyphs : strokeOf(glyphs, stroke);
}

void paint(QPainter &p, const QRectF &area, const QPainterPath &band,
           const std::function<void(QPainter &)> &letters)
{
    const QColor colour = p.pen().color();
    auto both = [&band](QPainter &q) {
        q.save();
        q.setRenderHint(QPainter::Antialiasing);
        q.fillPath(band, q.pen().color());
        q.restore();
    };
    if (colour.alpha() == 255 && p.opacity() >= 1.0) {
        both(p);
        letters(p);
        return;
    }
    // Drawn opaque into a layer at the device's resolution, laid down once at the ink's opacity.
    const qreal scale =
        p.device()->devicePixelRatioF() * std::sqrt(std::abs(p.worldTransform().determinant()));
    QImage layer((area.size() * scale).toSize() + QSize(2, 2), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(scale);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHints(p.renderHints());
        lp.setFont(p.font());
        QColor solid = colour;
        solid.setAlpha(255);
        lp.setPen(solid);
        lp.translate(-area.topLeft());
        both(lp);
        letters(lp);
    }
    p.save();
    p.setOpacity(p.opacity() * colour.alphaF());
    p.drawImage(area.topLeft(), layer);
    p.restore();
}

QPainterPath thickened(const QPainterPath &glyphs, qreal stroke)
{
    if (stroke <= 0 || glyphs.isEmpty())
        return glyphs;
    return strokeOf(glyphs, stroke).united(glyphs).simplified();
}

void draw(QPainter &p, const QRectF &rect, int flags, const QString &text)
{
    const qreal stroke = Fonts::syntheticStroke(p.font());
    if (stroke <= 0 || text.trimmed().isEmpty()) {
        p.drawText(rect, flags, text);
        return;
    }
    p.save();
    p.setFont(Fonts::faceWeight(p.font()));
    const QPainterPath &outline = cachedBand(p.font(), rect.size(), flags, text, stroke);
    const QRectF area = rect.adjusted(-stroke, -stroke, stroke, stroke);
    if (!(flags & Qt::TextDontClip)) {
        // drawText keeps to its rectangle; the band may reach half its width past the letters.
        p.setClipRect(area, Qt::IntersectClip);
        flags |= Qt::TextDontClip;
    }
    paint(p, area, outline.translated(rect.topLeft()), [&](QPainter &q) { q.drawText(rect, flags, text); });
    p.restore();
}

} // namespace HeavyText
