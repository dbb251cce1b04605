#include "ui/FieldChrome.h"

#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>

void paintFieldChrome(QPainter &p, const QRectF &rect, qreal focus)
{
    const qreal t = qBound<qreal>(0.0, focus, 1.0);
    const QColor a = Theme::stroke.opacity(0.7), b = Theme::red;
    const QColor border = QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                                           a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
    Paint::roundedBox(p, rect, 9, Theme::well, border, 1.2 + 0.6 * t);
}
