#include "ui/WellBox.h"

#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>

void WellBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(Theme::well));
    p.drawPath(Paint::roundedRect(rect(), m_radius));
}
