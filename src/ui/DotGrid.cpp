#include "ui/DotGrid.h"

#include "ui/Theme.h"

#include <QPainter>
#include <QPainterPath>

void paintDotGrid(QPainter &p, const QRectF &rect, qreal spacing)
{
    if (spacing <= 0)
        return;
    QPainterPath dots;
    for (qreal y = spacing / 2; y < rect.height(); y += spacing)
        for (qreal x = spacing / 2; x < rect.width(); x += spacing)
            dots.addEllipse(QRectF(rect.left() + x - 0.8, rect.top() + y - 0.8, 1.6, 1.6));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(dots, Theme::ink.opacity(0.09).resolve());
    p.restore();
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

void DotGrid::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintDotGrid(p, rect(), m_spacing);
}
