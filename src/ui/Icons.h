#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QPainter;
class QRectF;

// The kit's symbols: our own single-colour SVGs in the resources (":/icons/<name>.svg"), named
// like the symbols the views ask for ("chevron.down", "trash", ...). They are tinted when drawn.
namespace Icons {

bool has(const QString &name);
// Every symbol there is, by name.
QStringList names();
QString path(const QString &name);

// Draws the symbol fitted into `rect`, tinted `color`. An unknown name draws nothing.
void paint(QPainter &p, const QRectF &rect, const QString &name, const QColor &color);

// The tinted symbol as a pixmap of `size` logical pixels at device-pixel ratio `dpr`.
QPixmap pixmap(const QString &name, int size, const QColor &color, qreal dpr = 1.0);

} // namespace Icons
