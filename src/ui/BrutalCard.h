#pragma once

#include "ui/Theme.h"

#include <QWidget>

class QPainter;

// The hard-shadow card: `card` filled with `fill`, a 1.5 border in Theme::stroke inside its edge
// and a Theme::shadow slab of the same shape shifted right and down by `lift` (none at lift 0).
// The slab paints outside `card`; leave `lift` room to the right and below.
void paintBrutalCard(QPainter &p, const QRectF &card, const QColor &fill, qreal radius, qreal lift);

// A container drawn as a hard-shadow card. Its contents margins hold the padding plus the
// slab's room, so a layout set on it (with zero margins) places the content inside the card.
class BrutalCard : public QWidget
{
    Q_OBJECT
public:
    explicit BrutalCard(QWidget *parent = nullptr);
    BrutalCard(qreal padding, ThemeColor fill, qreal radius, qreal lift, QWidget *parent = nullptr);

    // Wraps `content` in a new card (the kit's `brutalCard(padding:fill:radius:lift:)`).
    static BrutalCard *wrap(QWidget *content, qreal padding = 20, ThemeColor fill = Theme::card,
                            qreal radius = 16, qreal lift = 4);

    qreal padding() const { return m_padding; }
    void setPadding(qreal padding);
    ThemeColor fill() const { return m_fill; }
    void setFill(ThemeColor fill);
    qreal radius() const { return m_radius; }
    void setRadius(qreal radius);
    qreal lift() const { return m_lift; }
    void setLift(qreal lift);

    // The card's own rectangle (without the slab's room).
    QRectF cardRect() const;
    // The whole pixels the slab takes right of and below the card's own rectangle.
    int slabRoom() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateMargins();

    qreal m_padding = 20;
    ThemeColor m_fill = Theme::card;
    qreal m_radius = 16;
    qreal m_lift = 4;
};
