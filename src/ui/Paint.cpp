#include "ui/Paint.h"

#include "ui/Blur.h"

#include <QCache>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QtMath>

namespace Paint {

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    const qreal r = qMax<qreal>(0.0, qMin(radius, qMin(rect.width(), rect.height()) / 2.0));
    path.addRoundedRect(rect, r, r);
    return path;
}

void roundedBox(QPainter &p, const QRectF &rect, qreal radius, const QColor &fill, const QColor &border,
                qreal width)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(roundedRect(rect, radius));
    if (width > 0 && border.alpha() > 0) {
        QPen pen(border, width);
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const qreal h = width / 2.0;
        p.drawPath(roundedRect(rect.adjusted(h, h, -h, -h), radius - h));
    }
    p.restore();
}

void slab(QPainter &p, const QRectF &rect, qreal radius, const QPointF &offset, const QColor &color)
{
    if (offset.isNull())
        return; // it would lie exactly behind the shape
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(roundedRect(rect.translated(offset), radius));
    p.restore();
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    t = qBound<qreal>(0.0, t, 1.0);
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t,
                            a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

void focusRing(QPainter &p, const QRectF &rect, qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xE8, 0x32, 0x2B), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roundedRect(rect.adjusted(0.75, 0.75, -0.75, -0.75), radius));
    p.restore();
}

namespace {

// The blurred shape of a w × h rounded rectangle, drawn at a quarter of its size; `pad` is the
// room around the shape.
QImage blurredShape(const QSizeF &size, qreal radius, const QColor &color, qreal blur, int pad, qreal scale)
{
    QImage img(qCeil((size.width() + 2 * pad) * scale) + 2, qCeil((size.height() + 2 * pad) * scale) + 2,
               QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter ip(&img);
        ip.setRenderHint(QPainter::Antialiasing);
        ip.scale(scale, scale);
        ip.setPen(Qt::NoPen);
        ip.setBrush(color);
        ip.drawPath(roundedRect(QRectF(pad, pad, size.width(), size.height()), radius));
    }
    // A Gaussian with the spread of two box passes of radius r each way.
    const int r = qMax(1, qRound(blur * scale / 2));
    img = Blur::gaussian(img, qSqrt(((2.0 * r + 1) * (2.0 * r + 1) - 1) / 6.0));
    return img;
}

} // namespace

void softShadow(QPainter &p, const QRectF &rect, qreal radius, const QColor &color, qreal blur,
                const QPointF &offset)
{
    if (rect.isEmpty() || color.alpha() == 0)
        return;
    const int pad = qCeil(blur * 2);
    const qreal scale = 0.25;
    // Popovers and notes repaint on every hover; their shadow does not change.
    static QCache<QString, QImage> cache(64);
    const QString key = QStringLiteral("%1x%2r%3c%4b%5")
                            .arg(rect.width())
                            .arg(rect.height())
                            .arg(radius)
                            .arg(color.rgba())
                            .arg(blur);
    QImage *img = cache.object(key);
    if (!img) {
        img = new QImage(blurredShape(rect.size(), radius, color, blur, pad, scale));
        cache.insert(key, img);
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(rect.x() - pad + offset.x(), rect.y() - pad + offset.y(), img->width() / scale,
                       img->height() / scale),
                *img);
    p.restore();
}

QPixmap emoji(const QString &text, const QFont &font, const QSizeF &size, Qt::Alignment alignment,
              const QColor &color, qreal dpr)
{
    const QString key = QStringLiteral("grumblix-emoji:%1:%2:%3x%4:%5:%6:%7")
                            .arg(text, font.key())
                            .arg(size.width())
                            .arg(size.height())
                            .arg(color.rgba())
                            .arg(dpr)
                            .arg(int(alignment));
    QPixmap image;
    if (QPixmapCache::find(key, &image))
        return image;
    image = QPixmap((size * dpr).toSize() + QSize(1, 1));
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(color);
        p.setFont(font);
        p.drawText(QRectF(QPointF(0, 0), size), alignment, text);
    }
    QPixmapCache::insert(key, image);
    return image;
}

} // namespace Paint
