#pragma once

#include <QRectF>

class QPainter;

// The inset field box shared by the text field and the drop-down: Theme::well, radius 9, a
// border of Theme::stroke at 0.7 and 1.2 wide, turning Theme::red and 1.8 wide as `focus` goes
// from 0 to 1.
void paintFieldChrome(QPainter &p, const QRectF &rect, qreal focus);
