#include "ui/FadeEffect.h"

#include <QPainter>

FadeEffect::FadeEffect(QObject *parent) : QGraphicsEffect(parent)
{
}

void FadeEffect::setOpacity(qreal opacity)
{
    opacity = qBound<qreal>(0, opacity, 1);
    if (qFuzzyCompare(opacity, m_opacity))
        return;
    m_opacity = opacity;
    update();
}

void FadeEffect::setDrop(qreal drop)
{
    if (qFuzzyCompare(drop, m_drop))
        return;
    m_drop = drop;
    updateBoundingRect();
    update();
}

QRectF FadeEffect::boundingRectFor(const QRectF &rect) const
{
    return rect.adjusted(0, qMin<qreal>(0, m_drop), 0, qMax<qreal>(0, m_drop));
}

void FadeEffect::draw(QPainter *painter)
{
    if (m_opacity <= 0)
        return;
    if (m_opacity >= 1 && m_drop == 0) {
        drawSource(painter);
        return;
    }
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
    painter->save();
    painter->setOpacity(painter->opacity() * m_opacity);
    painter->drawPixmap(QPointF(offset) + QPointF(0, m_drop), pixmap);
    painter->restore();
}

namespace {

// A widget and its children as drawn over whatever lies beneath (no window background).
QPixmap pictureOf(QWidget *widget)
{
    const qreal ratio = widget->devicePixelRatioF();
    QPixmap picture(widget->size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    widget->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    return picture;
}

} // namespace

FadingSnapshot::FadingSnapshot(QWidget *widget)
    : QWidget(widget->parentWidget()), m_picture(pictureOf(widget))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(widget->geometry());
    show();
    raise();
}

void FadingSnapshot::setOpacity(qreal opacity)
{
    m_opacity = qBound<qreal>(0, opacity, 1);
    update();
}

void FadingSnapshot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setOpacity(m_opacity);
    p.drawPixmap(0, 0, m_picture);
}
