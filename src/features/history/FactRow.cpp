#include "features/history/FactRow.h"

#include <QWidget>

namespace {

int heightAt(const QLayoutItem *item, int width)
{
    const int least = item->minimumSize().height();
    return qMax(least, item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height());
}

} // namespace

bool FactRow::sideBySide(int width) const
{
    int least = m_spacing * int(qMax<qsizetype>(0, m_items.size() - 1));
    for (const QLayoutItem *item : m_items)
        least += item->minimumSize().width();
    return least <= width - contentsMargins().left() - contentsMargins().right();
}

QList<int> FactRow::shares(int width) const
{
    // Equal shares; a box whose widest word needs more takes that, the others split the rest.
    QList<int> widths(m_items.size(), 0);
    QList<bool> fixed(m_items.size(), false);
    int room = width - m_spacing * int(qMax<qsizetype>(0, m_items.size() - 1));
    int open = int(m_items.size());
    bool changed = true;
    while (changed && open > 0) {
        changed = false;
        const int share = room / open;
        for (int i = 0; i < m_items.size(); ++i) {
            const int least = m_items[i]->minimumSize().width();
            if (!fixed[i] && least > share) {
                fixed[i] = true;
                widths[i] = least;
                room -= least;
                --open;
                changed = true;
            }
        }
    }
    // The last open box takes the odd pixels, so the row ends exactly at the right edge.
    const int share = open > 0 ? room / open : 0;
    int last = -1;
    for (int i = 0; i < m_items.size(); ++i)
        if (!fixed[i]) {
            widths[i] = share;
            last = i;
        }
    if (last >= 0)
        widths[last] += room - share * open;
    return widths;
}

int FactRow::place(const QRect &rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int height = 0;
    if (sideBySide(rect.width())) {
        const QList<int> widths = shares(area.width());
        for (int i = 0; i < m_items.size(); ++i)
            height = qMax(height, heightAt(m_items[i], widths[i]));
        // The boxes of one row are as tall as each other.
        int x = area.left();
        for (int i = 0; i < m_items.size(); ++i) {
            if (apply)
                m_items[i]->setGeometry(QRect(x, area.top(), widths[i], height));
            x += widths[i] + m_spacing;
        }
    } else {
        int y = area.top();
        for (QLayoutItem *item : m_items) {
            const int h = heightAt(item, area.width());
            if (apply)
                item->setGeometry(QRect(area.left(), y, area.width(), h));
            y += h + m_spacing;
        }
        height = m_items.isEmpty() ? 0 : y - m_spacing - area.top();
    }
    return height + contentsMargins().top() + contentsMargins().bottom();
}

QSize FactRow::minimumSize() const
{
    // One above the other: the widest word of any box; the height comes from heightForWidth().
    QSize least;
    for (const QLayoutItem *item : m_items)
        least = least.expandedTo(item->minimumSize());
    return least.grownBy(contentsMargins());
}
