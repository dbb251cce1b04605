#include "ui/SymbolView.h"

#include "ui/Icons.h"

#include <QPainter>
#include <cmath>

SymbolView::SymbolView(const QString &symbol, qreal size, ThemeColor color, QWidget *parent)
    : SnugWidget(parent), m_symbol(symbol), m_size(size), m_color(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(sizeHint());
}

void SymbolView::setColor(ThemeColor color)
{
    m_color = color;
    update();
}

QSize SymbolView::sizeHint() const
{
    const int side = int(std::ceil(m_size * 1.15));
    return {side, side};
}

void SymbolView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, 0, width(), height());
    const QRectF glyph(box.center().x() - m_size / 2, box.center().y() - m_size / 2, m_size, m_size);
    Icons::paint(p, glyph, m_symbol, m_color);
}
