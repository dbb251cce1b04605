#pragma once

#include <QImage>
#include <QRectF>
#include <functional>

class QPainter;

namespace Blur {

// Gaussian blur of a premultiplied ARGB image, `sigma` in pixels, approximated by three box passes.
// The image keeps its size; callers leave room (about 3 sigma) around the content.
QImage gaussian(const QImage &image, qreal sigma);

// How far past its bounds a drawing blurred with `radius` reaches (what paintBlurred draws there).
qreal reach(qreal radius);

// Draws what `draw` paints inside `bounds` (logical coordinates of `p`), blurred with `radius`
// logical points, at the painter's device resolution. With a non-empty `cacheKey` the blurred image
// is kept and reused for the same key, bounds size, radius and resolution.
void paintBlurred(QPainter &p, const QRectF &bounds, qreal radius,
                  const std::function<void(QPainter &)> &draw, const QString &cacheKey = {});

// Draws what `draw` paints inside `area` through an image at the painter's device resolution,
// after `filter` has changed that image's pixels.
void paintFiltered(QPainter &p, const QRectF &area, const std::function<void(QPainter &)> &draw,
                   const std::function<void(QImage &)> &filter);

} // namespace Blur
