#include "StatusBadge.h"

#include "ui/Fonts.h"

#include <QPainter>
#include <QPainterPath>

namespace StatusBadge {

QImage paint(const BadgeLook &look, int size, qreal devicePixelRatio)
{
    QImage image(QSize(size, size) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The mark's own 24 × 16 box, scaled to the canvas width and centred vertically.
    const qreal unit = size / 24.0;
    const QRectF box(0, (size - 16 * unit) / 2, 24 * unit, 16 * unit);
    const QRectF shape = box.adjusted(1.0 * unit, 1.5 * unit, -1.0 * unit, -1.5 * unit);
    if (look.filled) {
        p.setPen(Qt::NoPen);
        p.setBrush(look.fill);
    } else {
        p.setPen(QPen(look.ink, 1.6 * unit));
        p.setBrush(Qt::NoBrush);
    }
    p.drawRoundedRect(shape, 4 * unit, 4 * unit);

    QFont font = Fonts::font(10.5, QFont::Black);
    font.setPixelSize(qMax(1, qRound(10.5 * unit)));
    p.setFont(font);
    p.setPen(look.filled ? look.label : look.ink);
    const QFontMetricsF metrics(font);
    const QString text = QStringLiteral("V!");
    const QRectF bounds = metrics.tightBoundingRect(text);
    const QPointF origin(box.center().x() - metrics.horizontalAdvance(text) / 2,
                         box.center().y() - bounds.center().y() + 0.5 * unit);
    p.drawText(origin, text);

    if (look.count >= 1) {
        const QString digits = QString::number(look.count);
        QFont countFont = Fonts::font(10, QFont::Bold, Fonts::Design::Monospaced);
        countFont.setPixelSize(qMax(1, qRound(size * 0.36)));
        const QFontMetricsF countMetrics(countFont);
        const qreal height = size * 0.46;
        const qreal width = qMax(height, countMetrics.horizontalAdvance(digits) + height * 0.5);
        const QRectF pill(size - width, size - height, width, height);
        // A transparent gap around the pill keeps it apart from the outline beneath.
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        const qreal gap = unit;
        p.drawRoundedRect(pill.adjusted(-gap, -gap, gap, gap), height / 2 + gap, height / 2 + gap);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setBrush(look.ink);
        p.drawRoundedRect(pill, height / 2, height / 2);
        p.setFont(countFont);
        // The pill's text is the panel's own colour, cut out of the ink.
        p.setPen(QColor::fromHsl(look.ink.hslHue(), look.ink.hslSaturation(),
                                 look.ink.lightness() > 127 ? 0 : 255));
        p.drawText(pill, Qt::AlignCenter, digits);
    }
    return image;
}

QIcon icon(const BadgeLook &look)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(paint(look, size)));
    return icon;
}

} // namespace StatusBadge
