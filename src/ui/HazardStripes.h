#pragma once

#include "ui/Theme.h"

#include <QWidget>

class QPainter;

// Diagonal warning stripes over `rect`: the whole rect in `a`, then bands of `b`, each `stripe`
// wide along the bottom edge and leaning right by 0.9 × the height, repeating every 2 × `stripe`
// from x = −height until x reaches width + height. Clipped to `rect`. A stripe width of zero or
// less draws the background only.
void paintHazardStripes(QPainter &p, const QRectF &rect, qreal stripe, const QColor &a, const QColor &b);
// The same stripes cut to the ellipse inscribed in `rect` (a collar or a ring).
void paintHazardEllipse(QPainter &p, const QRectF &rect, qreal stripe, const QColor &a, const QColor &b);

// The stripes as a widget that fills whatever size its layout gives it.
class HazardStripes : public QWidget
{
    Q_OBJECT
public:
    HazardStripes(qreal stripe, ThemeColor a, ThemeColor b, QWidget *parent = nullptr);

    qreal stripe() const { return m_stripe; }
    void setStripe(qreal stripe);
    ThemeColor a() const { return m_a; }
    void setA(ThemeColor a);
    ThemeColor b() const { return m_b; }
    void setB(ThemeColor b);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_stripe;
    ThemeColor m_a;
    ThemeColor m_b;
};
