#include "ui/Blur.h"

#include <QCache>
#include <QPainter>
#include <QtMath>
#include <array>
#include <cstring>

namespace Blur {

namespace {

// Widths of three box filters whose succession approximates a Gaussian of the given sigma.
std::array<int, 3> boxSizes(qreal sigma)
{
    const qreal ideal = std::sqrt(12.0 * sigma * sigma / 3.0 + 1.0);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const qreal m = (12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9.0) / (-4.0 * lower - 4.0);
    const int useLower = int(std::round(m));
    std::array<int, 3> sizes{};
    for (int i = 0; i < 3; ++i)
        sizes[size_t(i)] = i < useLower ? lower : upper;
    return sizes;
}

// One box pass along a line of `count` pixels spaced `stride` apart, edges treated as transparent.
void boxLine(const quint32 *src, quint32 *dst, int count, int stride, int radius)
{
    const int window = 2 * radius + 1;
    int sum[4] = {0, 0, 0, 0};
    auto add = [&](int i, int sign) {
        if (i < 0 || i >= count)
            return;
        const quint32 px = src[i * stride];
        sum[0] += sign * int(px >> 24);
        sum[1] += sign * int((px >> 16) & 0xFF);
        sum[2] += sign * int((px >> 8) & 0xFF);
        sum[3] += sign * int(px & 0xFF);
    };
    for (int i = -radius; i < radius; ++i)
        add(i, 1);
    for (int i = 0; i < count; ++i) {
        add(i + radius, 1);
        const quint32 a = quint32((sum[0] + window / 2) / window);
        const quint32 r = quint32((sum[1] + window / 2) / window);
        const quint32 g = quint32((sum[2] + window / 2) / window);
        const quint32 b = quint32((sum[3] + window / 2) / window);
        dst[i * stride] = (a << 24) | (r << 16) | (g << 8) | b;
        add(i - radius, -1);
    }
}

} // namespace

QImage gaussian(const QImage &image, qreal sigma)
{
    QImage a = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (sigma <= 0.2 || a.isNull())
        return a;
    QImage b(a.size(), a.format());
    b.setDevicePixelRatio(a.devicePixelRatio());
    const int w = a.width();
    const int h = a.height();
    for (int box : boxSizes(sigma)) {
        const int radius = (box - 1) / 2;
        if (radius < 1)
            continue;
        for (int y = 0; y < h; ++y)
            boxLine(reinterpret_cast<const quint32 *>(a.constScanLine(y)),
                    reinterpret_cast<quint32 *>(b.scanLine(y)), w, 1, radius);
        const int stride = int(b.bytesPerLine() / 4);
        for (int x = 0; x < w; ++x)
            boxLine(reinterpret_cast<const quint32 *>(b.constBits()) + x,
                    reinterpret_cast<quint32 *>(a.bits()) + x, h, stride, radius);
    }
    return a;
}

namespace {

qreal deviceScale(const QPainter &p)
{
    return qMax<qreal>(0.01, std::sqrt(qAbs(p.deviceTransform().determinant())));
}

QImage renderLayer(const QRectF &area, qreal scale, const std::function<void(QPainter &)> &draw)
{
    QImage layer(qCeil(area.width() * scale), qCeil(area.height() * scale),
                 QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter lp(&layer);
    lp.setRenderHint(QPainter::Antialiasing);
    lp.scale(scale, scale);
    lp.translate(-area.topLeft());
    draw(lp);
    return layer;
}

void drawLayer(QPainter &p, const QPointF &topLeft, const QImage &layer, qreal scale)
{
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(topLeft, QSizeF(layer.width() / scale, layer.height() / scale)), layer);
    p.restore();
}

} // namespace

void paintFiltered(QPainter &p, const QRectF &area, const std::function<void(QPainter &)> &draw,
                   const std::function<void(QImage &)> &filter)
{
    if (area.isEmpty())
        return;
    const qreal scale = deviceScale(p);
    QImage layer = renderLayer(area, scale, draw);
    filter(layer);
    drawLayer(p, area.topLeft(), layer, scale);
}

qreal reach(qreal radius)
{
    // Three sigma: the Gaussian has all but a trace of its weight inside.
    return qMax<qreal>(1.0, 3.0 * radius);
}

void paintBlurred(QPainter &p, const QRectF &bounds, qreal radius,
                  const std::function<void(QPainter &)> &draw, const QString &cacheKey)
{
    if (bounds.isEmpty())
        return;
    const qreal scale = deviceScale(p);
    const qreal pad = reach(radius);
    const QRectF area = bounds.adjusted(-pad, -pad, pad, pad);

    static QCache<QString, QImage> cache(64);
    QString key;
    if (!cacheKey.isEmpty())
        key = QStringLiteral("%1|%2x%3|%4|%5")
                  .arg(cacheKey)
                  .arg(bounds.width(), 0, 'f', 3)
                  .arg(bounds.height(), 0, 'f', 3)
                  .arg(radius, 0, 'f', 3)
                  .arg(scale, 0, 'f', 3);
    QImage *cached = key.isEmpty() ? nullptr : cache.object(key);
    QImage blurred;
    if (cached) {
        blurred = *cached;
    } else {
        const QImage layer = renderLayer(area, scale, draw);
        blurred = gaussian(layer, radius * scale);
        if (!key.isEmpty())
            cache.insert(key, new QImage(blurred));
    }
    drawLayer(p, area.topLeft(), blurred, scale);
}

} // namespace Blur
