#include "ui/FieldChrome.h"

#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>

void paintFieldChrome(QPainter &p, const QRectF &rect, qreal focus)
{
    const qreal t = qBound<qreal>(0.0, focus, 1.0);
    Paint::roundedBox(p, rect, 9, Theme::well, Paint::mix(Theme::stroke.opacity(0.7), Theme::red, t),
                      1.2 + 0.6 * t);
}
