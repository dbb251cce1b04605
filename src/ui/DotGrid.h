#pragma once

#include <QWidget>

class QPainter;

// Faint dots (1.6 across, Theme::ink at 0.09) on a square grid of pitch `spacing`, the first row
// and column half a pitch in from the top-left corner. A spacing of zero or less draws nothing.
// The dots come from one cached tile, so painting costs about one blit of the area.
void paintDotGrid(QPainter &p, const QRectF &rect, qreal spacing);
// The same grid, painted only where it meets `exposed` (a repaint's dirty rectangle).
void paintDotGrid(QPainter &p, const QRectF &rect, qreal spacing, const QRectF &exposed);

// The dot pattern behind the dashboard's pages; it takes no clicks.
class DotGrid : public QWidget
{
    Q_OBJECT
public:
    explicit DotGrid(qreal spacing = 22, QWidget *parent = nullptr);

    qreal spacing() const { return m_spacing; }
    void setSpacing(qreal spacing);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_spacing;
};
