#include "ui/BrutalCard.h"

#include "ui/Paint.h"

#include <QPainter>
#include <QVBoxLayout>
#include <QtMath>

void paintBrutalCard(QPainter &p, const QRectF &card, const QColor &fill, qreal radius, qreal lift)
{
    Paint::slab(p, card, radius, QPointF(lift, lift), Theme::shadow);
    Paint::roundedBox(p, card, radius, fill, Theme::stroke, 1.5);
}

BrutalCard::BrutalCard(QWidget *parent) : QWidget(parent)
{
    updateMargins();
}

BrutalCard::BrutalCard(qreal padding, ThemeColor fill, qreal radius, qreal lift, QWidget *parent)
    : QWidget(parent), m_padding(padding), m_fill(fill), m_radius(radius), m_lift(lift)
{
    updateMargins();
}

BrutalCard *BrutalCard::wrap(QWidget *content, qreal padding, ThemeColor fill, qreal radius, qreal lift)
{
    auto *card = new BrutalCard(padding, fill, radius, lift);
    auto *layout = new QVBoxLayout(card);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    return card;
}

void BrutalCard::setPadding(qreal padding)
{
    m_padding = padding;
    updateMargins();
}

void BrutalCard::setFill(ThemeColor fill)
{
    m_fill = fill;
    update();
}

void BrutalCard::setRadius(qreal radius)
{
    m_radius = radius;
    update();
}

void BrutalCard::setLift(qreal lift)
{
    m_lift = lift;
    updateMargins();
}

QRectF BrutalCard::cardRect() const
{
    const qreal room = qMax<qreal>(0.0, m_lift);
    return QRectF(rect()).adjusted(0, 0, -room, -room);
}

int BrutalCard::slabRoom() const
{
    return qCeil(qMax<qreal>(0.0, m_lift));
}

void BrutalCard::updateMargins()
{
    const int pad = qRound(m_padding);
    const int room = slabRoom();
    setContentsMargins(pad, pad, pad + room, pad + room);
    update();
}

void BrutalCard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintBrutalCard(p, cardRect(), m_fill, m_radius, m_lift);
}
