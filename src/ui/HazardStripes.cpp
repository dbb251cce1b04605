#include "ui/HazardStripes.h"

#include <QPainter>
#include <QPainterPath>

void paintHazardStripes(QPainter &p, const QRectF &rect, qreal stripe, const QColor &a, const QColor &b)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(rect, Qt::IntersectClip);
    p.fillRect(rect, a);
    const qreal w = rect.width(), h = rect.height();
    if (stripe > 0 && b.alpha() > 0) {
        QPainterPath bands;
        bands.setFillRule(Qt::WindingFill);
        for (qreal x = -h; x < w + h; x += 2 * stripe) {
            QPolygonF band;
            band << QPointF(x, h) << QPointF(x + stripe, h) << QPointF(x + stripe + 0.9 * h, 0)
                 << QPointF(x + 0.9 * h, 0) << QPointF(x, h);
            bands.addPolygon(band);
            bands.closeSubpath();
        }
        p.translate(rect.topLeft());
        p.fillPath(bands, b);
    }
    p.restore();
}

void paintHazardEllipse(QPainter &p, const QRectF &rect, qreal stripe, const QColor &a, const QColor &b)
{
    QPainterPath clip;
    clip.addEllipse(rect);
    p.save();
    p.setClipPath(clip, Qt::IntersectClip);
    paintHazardStripes(p, rect, stripe, a, b);
    p.restore();
}

HazardStripes::HazardStripes(qreal stripe, ThemeColor a, ThemeColor b, QWidget *parent)
    : QWidget(parent), m_stripe(stripe), m_a(a), m_b(b)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void HazardStripes::setStripe(qreal stripe)
{
    m_stripe = stripe;
    update();
}

void HazardStripes::setA(ThemeColor a)
{
    m_a = a;
    update();
}

void HazardStripes::setB(ThemeColor b)
{
    m_b = b;
    update();
}

void HazardStripes::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintHazardStripes(p, rect(), m_stripe, m_a, m_b);
}
