#include "ui/EStopDrawing.h"

#include "ui/Blur.h"
#include "ui/Fonts.h"
#include "ui/HazardStripes.h"
#include "ui/HeavyText.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace {

QRectF centredRect(qreal cx, qreal cy, qreal width, qreal height)
{
    return QRectF(cx - width / 2, cy - height / 2, width, height);
}

QLinearGradient gradient(const QPointF &from, const QPointF &to, const QList<QColor> &colours)
{
    QLinearGradient g(from, to);
    const int n = int(colours.size());
    for (int i = 0; i < n; ++i)
        g.setColorAt(n == 1 ? 0.0 : qreal(i) / (n - 1), colours[i]);
    return g;
}

QLinearGradient leadingToTrailing(const QRectF &r, const QList<QColor> &colours)
{
    return gradient(QPointF(r.left(), 0), QPointF(r.right(), 0), colours);
}

// An outline of `width` drawn inside the ellipse's edge.
void innerEllipseOutline(QPainter &p, const QRectF &r, const QBrush &brush, qreal width)
{
    QPen pen(brush, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal h = width / 2;
    p.drawEllipse(r.adjusted(h, h, -h, -h));
}

// The side of a short upright cylinder centred on (cx, cy): its bottom face and the wall up to the
// centre line of the top face, which the caller lays over it.
void paintCylinder(QPainter &p, qreal cx, qreal cy, qreal width, qreal ellipseHeight, qreal side,
                   const QList<QColor> &sideColours)
{
    const QRectF frame = centredRect(cx, cy, width, ellipseHeight + side);
    p.setPen(Qt::NoPen);
    p.setBrush(leadingToTrailing(frame, sideColours));
    p.drawEllipse(centredRect(cx, cy + side / 2, width, ellipseHeight));
    if (side > 0)
        p.drawRect(centredRect(cx, cy, width, side));
}

// Moves every channel of a premultiplied image by `amount` (−1…1), as a brightness filter does.
void adjustBrightness(QImage &image, qreal amount)
{
    const int shift = qRound(amount * 255);
    if (shift == 0)
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const quint32 px = line[x];
            const int a = int(px >> 24);
            if (a == 0)
                continue;
            // Premultiplied: the shift is weighted by the pixel's coverage.
            const int d = shift * a / 255;
            auto ch = [&](int c) { return quint32(qBound(0, c + d, a)); };
            line[x] = (quint32(a) << 24) | (ch(int((px >> 16) & 0xFF)) << 16) |
                      (ch(int((px >> 8) & 0xFF)) << 8) | ch(int(px & 0xFF));
        }
    }
}

// The two lines of lettering as one path, centred on the origin, before any squash.
QPainterPath buildLettering(qreal capWidth)
{
    // Built at a fixed size and scaled, so fractional font sizes keep their exact proportions.
    constexpr qreal kBase = 100.0;
    const qreal fontSize = 0.2 * capWidth;
    const qreal k = fontSize / kBase;
    QFont font = Fonts::rounded(kBase, QFont::Black);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.006 * capWidth / k);
    const QFontMetricsF fm(font);
    const qreal lineHeight = fm.height();
    const qreal spacing = -0.035 * capWidth / k;
    const QStringList lines{QStringLiteral("GRUM"), QStringLiteral("BLIX")};
    const qreal total = lines.size() * lineHeight + (lines.size() - 1) * spacing;
    QPainterPath path;
    qreal top = -total / 2;
    for (const QString &line : lines) {
        // Trailing letter spacing is not part of the ink; centre on the advance without it.
        const qreal advance = fm.horizontalAdvance(line) - font.letterSpacing();
        path.addText(QPointF(-advance / 2, top + fm.ascent()), font, line);
        top += lineHeight + spacing;
    }
    path = QTransform::fromScale(k, k).map(path);
    return HeavyText::thickened(path, Fonts::syntheticStroke(font) * k);
}

QPainterPath letteringPath(qreal capWidth)
{
    // Text outlines are costly to merge; the cap is redrawn every frame of an animation.
    static QHash<qint64, QPainterPath> cache;
    const qint64 key = qRound64(capWidth * 1000);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 32)
            cache.clear();
        it = cache.insert(key, buildLettering(capWidth));
    }
    return *it;
}

void paintCapContent(QPainter &p, const QRectF &frame, const ButtonSkin::Palette &palette)
{
    const qreal width = frame.width();
    const qreal height = frame.height();

    // Dome: light spot up and to the left.
    p.setPen(Qt::NoPen);
    p.setBrush(
        capGradient(QPointF(frame.left() + 0.4 * width, frame.top() + 0.25 * height), 0.62 * width, palette));
    p.drawEllipse(frame);

    // Highlight.
    const QRectF spot = centredRect(frame.center().x() - 0.05 * width, frame.center().y() - 0.2 * height,
                                    0.62 * width, 0.42 * height);
    Blur::paintBlurred(
        p, spot, 1.5,
        [spot](QPainter &lp) {
            QLinearGradient g(spot.topLeft(), spot.bottomLeft());
            g.setColorAt(0, QColor(255, 255, 255, 140));
            g.setColorAt(1, QColor(255, 255, 255, 0));
            lp.setPen(Qt::NoPen);
            lp.setBrush(g);
            lp.drawEllipse(spot);
        },
        QStringLiteral("estop-highlight"));

    // Rim.
    QLinearGradient rim(frame.topLeft(), frame.bottomLeft());
    rim.setColorAt(0, QColor(255, 255, 255, qRound(0.35 * 255)));
    rim.setColorAt(1, QColor(0, 0, 0, qRound(0.3 * 255)));
    innerEllipseOutline(p, frame, rim, 1.2);

    // Lettering: hard shadow, squashed to 62 % about its centre, moved down a little.
    const QPainterPath letters = letteringPath(width);
    p.save();
    p.translate(frame.center().x(), frame.center().y() + 0.04 * height);
    p.scale(1.0, 0.62);
    p.setPen(Qt::NoPen);
    QColor shadow = palette.labelShadow;
    shadow.setAlphaF(shadow.alphaF() * 0.9f);
    p.setBrush(shadow);
    p.drawPath(letters.translated(0, 1.5));
    QColor label = palette.label;
    label.setAlphaF(label.alphaF() * 0.96f);
    p.setBrush(label);
    p.drawPath(letters);
    p.restore();
}

// The cap, its brightness shifted by `brightness` as one layer.
void paintCapFace(QPainter &p, const QRectF &frame, qreal brightness, const ButtonSkin::Palette &palette)
{
    if (qFuzzyIsNull(brightness)) {
        paintCapContent(p, frame, palette);
        return;
    }
    // Room for the lettering's drop and the rim.
    Blur::paintFiltered(
        p, frame.adjusted(-2, -2, 2, 4), [&](QPainter &lp) { paintCapContent(lp, frame, palette); },
        [brightness](QImage &layer) { adjustBrightness(layer, brightness); });
}

QString colourKey(const QColor &c)
{
    return QString::number(c.rgba64(), 16);
}

} // namespace

QRadialGradient capGradient(const QPointF &centre, qreal radius, const ButtonSkin::Palette &palette)
{
    QRadialGradient g(centre, radius);
    g.setColorAt(0.0, palette.capLight);
    g.setColorAt(0.5, palette.cap);
    g.setColorAt(1.0, palette.capDark);
    return g;
}

EStopLook EStopLook::of(bool pressed, bool hovering)
{
    if (pressed)
        return {0.035, 0.75, -0.06};
    if (hovering)
        return {0.15, 0.4, 0.05};
    return {0.15, 0.2, 0.0};
}

EStopLook EStopLook::blend(qreal press, qreal hover)
{
    const EStopLook away = of(false, false);
    const EStopLook over = of(false, true);
    const EStopLook down = of(true, false);
    auto mix = [](qreal a, qreal b, qreal f) { return a + (b - a) * f; };
    const qreal upGlow = mix(away.glow, over.glow, hover);
    const qreal upBrightness = mix(away.brightness, over.brightness, hover);
    return {mix(away.travel, down.travel, press), mix(upGlow, down.glow, press),
            mix(upBrightness, down.brightness, press)};
}

namespace {

constexpr qreal kGroundBlur = 0.03;

QRectF groundEllipse(qreal w)
{
    return centredRect(0.52 * w, 0.58 * w, 1.02 * w, 0.36 * w);
}

} // namespace

void paintEStopGround(QPainter &p, const QPointF &origin, qreal w)
{
    if (w <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(origin);
    const QRectF ground = groundEllipse(w);
    Blur::paintBlurred(
        p, ground, kGroundBlur * w,
        [ground](QPainter &lp) {
            lp.setPen(Qt::NoPen);
            lp.setBrush(QColor(0, 0, 0, qRound(0.28 * 255)));
            lp.drawEllipse(ground);
        },
        QStringLiteral("estop-ground"));
    p.restore();
}

QMarginsF eStopGroundOverhang(qreal w)
{
    const qreal spread = Blur::reach(kGroundBlur * w);
    const QRectF reach = groundEllipse(w).adjusted(-spread, -spread, spread, spread);
    return QMarginsF(qMax<qreal>(0, -reach.left()), qMax<qreal>(0, -reach.top()),
                     qMax<qreal>(0, reach.right() - w), qMax<qreal>(0, reach.bottom() - eStopHeight(w)));
}

void paintEStopBody(QPainter &p, const QPointF &origin, qreal w, const EStopLook &look,
                    const ButtonSkin::Palette &palette)
{
    paintEStopGround(p, origin, w);
    paintEStopRaised(p, origin, w, look, palette);
}

void paintEStopRaised(QPainter &p, const QPointF &origin, qreal w, const EStopLook &look,
                      const ButtonSkin::Palette &palette)
{
    if (w <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(origin);
    const qreal cx = 0.5 * w;
    const qreal t = look.travel * w;

    // 2 base side, 3 base top
    paintCylinder(p, cx, 0.495 * w, w, 0.4 * w, 0.11 * w, palette.baseSide);
    const QRectF baseTop = centredRect(cx, 0.44 * w, w, 0.4 * w);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient(baseTop.topLeft(), baseTop.bottomLeft(), palette.baseTop));
    p.drawEllipse(baseTop);
    innerEllipseOutline(p, baseTop, palette.rim, 1.0);

    // 4 collar side, 5 collar top
    paintCylinder(p, cx, 0.4225 * w, 0.88 * w, 0.352 * w, 0.035 * w, palette.collarSide);
    const QRectF collar = centredRect(cx, 0.405 * w, 0.88 * w, 0.352 * w);
    paintHazardEllipse(p, collar, 0.05 * w, palette.collarA, palette.collarB);
    innerEllipseOutline(p, collar, QColor(0, 0, 0, qRound(0.35 * 255)), 1.0);

    // 6 well, the same dark hole in every skin
    const QRectF well = centredRect(cx, 0.405 * w, 0.684 * w, 0.2736 * w);
    QRadialGradient hole(well.center(), 0.36 * w);
    hole.setColorAt(0, QColor(5, 5, 5));
    hole.setColorAt(1, QColor(29, 27, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(hole);
    p.drawEllipse(well);

    // 7 glow: blurred once at full strength, faded by the look
    const QRectF glow = centredRect(cx, 0.405 * w, 0.66 * w, 0.276 * w);
    p.save();
    p.setOpacity(qBound<qreal>(0, look.glow, 1));
    const QColor glowColour = palette.glow;
    Blur::paintBlurred(
        p, glow, 0.05 * w,
        [glow, glowColour](QPainter &lp) {
            lp.setPen(Qt::NoPen);
            lp.setBrush(glowColour);
            lp.drawEllipse(glow);
        },
        QStringLiteral("estop-glow-") + colourKey(glowColour));
    p.restore();

    // 8 skirt: stands on the collar's top face, its top face where the cap lies
    paintCylinder(p, cx, 0.405 * w - t / 2, 0.6 * w, 0.276 * w, qMax<qreal>(0, t), palette.skirt);

    // 9 cap
    paintCapFace(p, centredRect(cx, 0.405 * w - t, 0.6 * w, 0.276 * w), look.brightness, palette);
    p.restore();
}

QPainterPath eStopHitArea(qreal w)
{
    QPainterPath path;
    const qreal h = eStopHeight(w);
    path.addEllipse(centredRect(0.5 * w, 0.5 * h, w, 0.9 * h));
    return path;
}

void paintShockwave(QPainter &p, const QPointF &origin, qreal w, const QColor &color, qreal progress)
{
    const qreal f = qBound<qreal>(0, progress, 1);
    const qreal opacity = 0.8 * (1 - f);
    if (opacity <= 0)
        return;
    const qreal scale = 1.0 + 1.1 * f;
    const qreal lineWidth = 8.0 - 7.0 * f;
    const QPointF centre = origin + QPointF(0.5 * w, 0.5 * eStopHeight(w) - 0.06 * w);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // The ring is stroked first and scaled afterwards, so its line grows with it.
    p.translate(centre);
    p.scale(scale, scale);
    QColor c = color;
    c.setAlphaF(float(c.alphaF() * opacity));
    QPen pen(c, lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centredRect(0, 0, 0.6 * w, 0.24 * w));
    p.restore();
}

QRectF shockwaveBounds(const QPointF &origin, qreal w)
{
    const QPointF centre = origin + QPointF(0.5 * w, 0.5 * eStopHeight(w) - 0.06 * w);
    // The largest extent over the growth, with the scaled line's half width.
    qreal halfW = 0, halfH = 0;
    for (int i = 0; i <= 10; ++i) {
        const qreal f = i / 10.0;
        const qreal s = 1.0 + 1.1 * f;
        const qreal line = (8.0 - 7.0 * f) * s / 2;
        halfW = qMax(halfW, 0.3 * w * s + line);
        halfH = qMax(halfH, 0.12 * w * s + line);
    }
    return centredRect(centre.x(), centre.y(), 2 * halfW + 2, 2 * halfH + 2);
}
