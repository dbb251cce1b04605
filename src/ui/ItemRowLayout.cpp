#include "ui/ItemRowLayout.h"

ItemRowLayout::~ItemRowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void ItemRowLayout::addItem(QLayoutItem *item)
{
    m_items << item;
    invalidate();
}

QLayoutItem *ItemRowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    invalidate();
    return m_items.takeAt(index);
}

QSize ItemRowLayout::sizeHint() const
{
    int width = 0;
    int height = 0;
    for (const QLayoutItem *item : m_items) {
        width += (width > 0 ? m_spacing : 0) + item->sizeHint().width();
        height = qMax(height, item->sizeHint().height());
    }
    return QSize(width, height).grownBy(contentsMargins());
}

void ItemRowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    place(rect, true);
}
