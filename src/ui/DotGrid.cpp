#include "ui/DotGrid.h"

#include "ui/Theme.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <cmath>

namespace {

constexpr qreal dotSize = 1.6;

void paintDots(QPainter &p, const QRectF &rect, qreal spacing, const QColor &color)
{
    QPainterPath dots;
    for (qreal y = spacing / 2; y < rect.height(); y += spacing)
        for (qreal x = spacing / 2; x < rect.width(); x += spacing)
            dots.addEllipse(
                QRectF(rect.left() + x - dotSize / 2, rect.top() + y - dotSize / 2, dotSize, dotSize));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(dots, color);
    p.restore();
}

// One pitch of the grid with its dot, drawn once per spacing, colour and pixel ratio.
QPixmap dotTile(qreal spacing, qreal ratio, const QColor &color)
{
    const QString key =
        QStringLiteral("gx-dot-tile:%1:%2:%3").arg(spacing).arg(ratio).arg(color.rgba(), 0, 16);
    QPixmap tile;
    if (QPixmapCache::find(key, &tile))
        return tile;
    const int side = int(std::lround(spacing * ratio));
    tile = QPixmap(side, side);
    tile.setDevicePixelRatio(ratio);
    tile.fill(Qt::transparent);
    {
        QPainter p(&tile);
        paintDots(p, QRectF(0, 0, spacing, spacing), spacing, color);
    }
    QPixmapCache::insert(key, tile);
    return tile;
}

} // namespace

void paintDotGrid(QPainter &p, const QRectF &rect, qreal spacing)
{
    paintDotGrid(p, rect, spacing, rect);
}

void paintDotGrid(QPainter &p, const QRectF &rect, qreal spacing, const QRectF &exposed)
{
    if (spacing <= 0)
        return;
    const QColor color = Theme::ink.opacity(0.09).resolve();
    const qreal ratio = p.device() ? p.device()->devicePixelRatio() : 1.0;
    const qreal pixels = spacing * ratio;
    // The tile serves whenever a pitch is a whole number of device pixels and nothing scales the
    // painter; otherwise every dot is drawn.
    const bool tiled = std::abs(pixels - std::round(pixels)) < 1e-6 && pixels >= 1 &&
                       p.transform().type() <= QTransform::TxTranslate;
    if (!tiled) {
        p.save();
        p.setClipRect(exposed, Qt::IntersectClip);
        paintDots(p, rect, spacing, color);
        p.restore();
        return;
    }
    // A dot whose centre lies inside the rectangle may reach a little past it, as drawn dots do.
    const QRectF area = rect.adjusted(0, 0, dotSize, dotSize) & exposed;
    if (area.isEmpty())
        return;
    const QPointF into(std::fmod(area.left() - rect.left(), spacing),
                       std::fmod(area.top() - rect.top(), spacing));
    p.drawTiledPixmap(area, dotTile(spacing, ratio, color), into);
}

DotGrid::DotGrid(qreal spacing, QWidget *parent) : QWidget(parent), m_spacing(spacing)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DotGrid::setSpacing(qreal spacing)
{
    m_spacing = spacing;
    update();
}

void DotGrid::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    paintDotGrid(p, rect(), m_spacing, event->rect());
}
