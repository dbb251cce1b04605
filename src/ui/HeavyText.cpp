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
#include <QtMath>
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

// A glyph's outline. QRawFont loads the glyph (and runs the face's hinting program) at every call,
// and the same few glyphs, digits above all, come again and again.
QPainterPath outlineOf(const QRawFont &raw, quint32 glyph)
{
    static QHash<QString, QPainterPath> known;
    const QString key = raw.familyName() + QLatin1Char('|') + raw.styleName() + QLatin1Char('|') +
                        QString::number(raw.pixelSize()) + QLatin1Char('|') + QString::number(glyph);
    auto it = known.constFind(key);
    if (it != known.constEnd())
        return *it;
    if (known.size() > 4096)
        known.clear();
    const QPainterPath outline = raw.pathForGlyph(glyph);
    known.insert(key, outline);
    return outline;
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

// Where a point of the painter's coordinates falls on the device's pixels, when the painter only
// moves and scales evenly (no rotation): the whole pixel and what lies beyond it.
struct DevicePlacement
{
    bool exact = false;
    qreal scale = 1;  // device pixels per unit of the painter
    qreal ratio = 1;  // the device's pixel ratio
    QPointF whole;    // device pixels
    QPointF fraction; // 0 to 1 in each direction
};

DevicePlacement placement(const QPainter &p, const QPointF &point)
{
    // The combined transform includes the device's pixel ratio: it ends in device pixels.
    const QTransform world = p.combinedTransform();
    DevicePlacement at;
    at.exact =
        world.type() <= QTransform::TxScale && world.m11() > 0 && qFuzzyCompare(world.m11(), world.m22());
    if (!at.exact)
        return at;
    at.scale = world.m11();
    at.ratio = p.device()->devicePixelRatioF();
    const QPointF device = world.map(point);
    at.whole = QPointF(std::floor(device.x()), std::floor(device.y()));
    at.fraction = device - at.whole;
    return at;
}

// An image of device pixels covering `area` (painter units, `scale` device pixels each), the area's
// corner `fraction` of a pixel into it, holding what `draw` paints in the painter's units.
QImage deviceImage(const QRectF &area, qreal scale, const QPointF &fraction,
                   const std::function<void(QPainter &)> &draw)
{
    QImage image(QSize(qCeil(area.width() * scale) + 2, qCeil(area.height() * scale) + 2),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter ip(&image);
    ip.translate(fraction);
    ip.scale(scale, scale);
    ip.translate(-area.topLeft());
    draw(ip);
    ip.end();
    return image;
}

// Lays an image made by deviceImage() for `at` on exactly the device pixels it was made for.
void drawOnPixels(QPainter &p, const DevicePlacement &at, QImage image)
{
    image.setDevicePixelRatio(at.ratio);
    p.save();
    p.resetTransform();
    p.drawImage(at.whole / at.ratio, image);
    p.restore();
}

QString bandKey(const QFont &font, const QSizeF &size, int flags, const QString &text)
{
    return font.key() + QLatin1Char('|') + QString::number(size.width(), 'f', 2) + QLatin1Char('x') +
           QString::number(size.height(), 'f', 2) + QLatin1Char('|') + QString::number(flags) +
           QLatin1Char('|') + text;
}

const QPainterPath &cachedBand(const QString &key, const QFont &font, const QSizeF &size, int flags,
                               const QString &text, qreal stroke)
{
    // Outlining is costly and a label repaints often: each band is made once.
    static QCache<QString, QPainterPath> cache(128);
    QPainterPath *band = cache.object(key);
    if (!band) {
        band = new QPainterPath(bandOf(font, size, flags, text, stroke));
        cache.insert(key, band); // one unit of a cache of many: never refused
    }
    return *band;
}

// The band filled in `colour`, as device pixels: filling curved outlines with antialiasing costs far
// more than drawing an image, and the counters and labels holding these texts repaint often. The
// band's area starts `fraction` of a pixel into the image, so it lands where drawText puts the
// letters (even a tenth of a pixel off shows where two letters nearly touch).
const QImage &bandImage(const QString &key, const QPainterPath &band, const QRectF &area, qreal scale,
                        const QPointF &fraction, const QColor &colour, qreal ratio)
{
    static QCache<QString, QImage> cache(4096); // kilobytes
    const QString imageKey = key + QLatin1Char('|') + QString::number(scale, 'f', 3) + QLatin1Char('|') +
                             QString::number(fraction.x(), 'f', 3) + QLatin1Char(',') +
                             QString::number(fraction.y(), 'f', 3) + QLatin1Char('|') +
                             QString::number(colour.rgba(), 16);
    if (QImage *image = cache.object(imageKey))
        return *image;
    QImage image = deviceImage(area, scale, fraction, [&](QPainter &ip) {
        ip.setRenderHint(QPainter::Antialiasing);
        ip.fillPath(band, colour);
    });
    image.setDevicePixelRatio(ratio);
    const int cost = qMax<int>(1, int(image.sizeInBytes() / 1024));
    if (cost > cache.maxCost()) {
        static QImage huge; // a poster-sized text: kept only until the next one
        huge = image;
        return huge;
    }
    cache.insert(imageKey, new QImage(image), cost);
    return *cache.object(imageKey);
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
            glyphs.addPath(outlineOf(raw, indexes.at(g)).translated(offset + positions.at(g)));
    }
    return glyphs.isEmpty() ? glyphs : strokeOf(glyphs, stroke);
}

void paint(QPainter &p, const QRectF &area, const QPainterPath &band,
           const std::function<void(QPainter &)> &letters)
{
    const QColor colour = p.pen().color();
    auto both = [&band, &letters](QPainter &q) {
        q.save();
        q.setRenderHint(QPainter::Antialiasing);
        q.fillPath(band, q.pen().color());
        q.restore();
        letters(q);
    };
    if (colour.alpha() == 255 && p.opacity() >= 1.0) {
        both(p);
        return;
    }
    // Drawn opaque into a layer of device pixels, laid down once at the ink's opacity. The layer is
    // placed on whole pixels (what lies between is drawn into it), or it would be resampled and blur.
    const DevicePlacement at = placement(p, area.topLeft());
    const qreal scale =
        at.exact ? at.scale
                 : p.device()->devicePixelRatioF() * std::sqrt(std::abs(p.worldTransform().determinant()));
    QColor solid = colour;
    solid.setAlpha(255);
    QImage layer = deviceImage(area, scale, at.exact ? at.fraction : QPointF(), [&](QPainter &lp) {
        lp.setRenderHints(p.renderHints());
        lp.setFont(p.font());
        lp.setPen(solid);
        both(lp);
    });
    p.save();
    p.setOpacity(p.opacity() * colour.alphaF());
    if (at.exact) {
        drawOnPixels(p, at, layer);
    } else {
        layer.setDevicePixelRatio(scale);
        p.drawImage(area.topLeft(), layer);
    }
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
    const QString key = bandKey(p.font(), rect.size(), flags, text);
    const QPainterPath &band = cachedBand(key, p.font(), rect.size(), flags, text, stroke);
    const QRectF area = rect.adjusted(-stroke, -stroke, stroke, stroke);
    if (!(flags & Qt::TextDontClip)) {
        // drawText keeps to its rectangle; the band may reach half its width past the letters.
        p.setClipRect(area, Qt::IntersectClip);
        flags |= Qt::TextDontClip;
    }
    const DevicePlacement at = placement(p, area.topLeft());
    const QColor colour = p.pen().color();
    const bool plainInk =
        colour.alpha() == 255 && p.opacity() >= 1.0 && p.pen().brush().style() == Qt::SolidPattern;
    if (plainInk && at.exact) {
        drawOnPixels(
            p, at,
            bandImage(key, band, area.translated(-rect.topLeft()), at.scale, at.fraction, colour, at.ratio));
        p.drawText(rect, flags, text);
    } else {
        paint(p, area, band.translated(rect.topLeft()), [&](QPainter &q) { q.drawText(rect, flags, text); });
    }
    p.restore();
}

void drawRuns(QPainter &p, const QPointF &baseline, const QList<QGlyphRun> &runs, const QRectF &box,
              const QString &key)
{
    auto letters = [&](QPainter &q) {
        for (const QGlyphRun &run : runs)
            q.drawGlyphRun(baseline, run);
    };
    const qreal stroke = Fonts::syntheticStroke(p.font());
    if (stroke <= 0 || runs.isEmpty()) {
        letters(p);
        return;
    }
    const QString bandName = QStringLiteral("runs|") + key + QLatin1Char('|') + QString::number(stroke);
    static QCache<QString, QPainterPath> bands(128);
    QPainterPath *band = bands.object(bandName);
    if (!band) {
        band = new QPainterPath(HeavyText::band(runs, QPointF(), stroke));
        bands.insert(bandName, band);
    }
    const QRectF area = box.adjusted(-stroke, -stroke, stroke, stroke);
    const DevicePlacement at = placement(p, baseline + area.topLeft());
    const QColor colour = p.pen().color();
    const bool plainInk =
        colour.alpha() == 255 && p.opacity() >= 1.0 && p.pen().brush().style() == Qt::SolidPattern;
    if (plainInk && at.exact) {
        drawOnPixels(p, at, bandImage(bandName, *band, area, at.scale, at.fraction, colour, at.ratio));
        letters(p);
    } else {
        paint(p, area.translated(baseline), band->translated(baseline), letters);
    }
}

} // namespace HeavyText
