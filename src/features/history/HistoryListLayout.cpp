#include "features/history/HistoryListLayout.h"

#include <algorithm>
#include <numeric>

HistoryListLayout::HistoryListLayout(const QList<DayGroup> &groups, qsizetype eventCount, qreal headerHeight,
                                     const std::function<qreal(qsizetype)> &rowHeight)
    : m_itemOfEvent(eventCount, -1), m_headerHeight(headerHeight)
{
    qsizetype count = groups.size();
    for (const DayGroup &g : groups)
        count += g.events.size();
    m_items.reserve(count);
    m_headerItem.reserve(groups.size());
    qreal y = 0;
    for (qsizetype gi = 0; gi < groups.size(); ++gi) {
        if (!m_items.isEmpty())
            y += kSpacing;
        m_headerItem.append(m_items.size());
        m_items.append({gi, -1, y, headerHeight});
        y += headerHeight;
        for (const qsizetype event : groups[gi].events) {
            y += kSpacing;
            const qreal h = rowHeight(event);
            m_itemOfEvent[event] = m_items.size();
            m_items.append({gi, event, y, h});
            y += h;
        }
    }
    m_height = m_items.isEmpty() ? 0 : y + kBottom;
}

qsizetype HistoryListLayout::itemAt(qreal y) const
{
    const auto it = std::upper_bound(m_items.begin(), m_items.end(), y,
                                     [](qreal v, const Item &item) { return v < item.y + item.height; });
    return it == m_items.end() ? -1 : qsizetype(it - m_items.begin());
}

qsizetype HistoryListLayout::itemOfEvent(qsizetype event) const
{
    return event >= 0 && event < m_itemOfEvent.size() ? m_itemOfEvent[event] : -1;
}

std::optional<HistoryListLayout::Pinned> HistoryListLayout::pinned(qreal scroll) const
{
    if (m_headerItem.isEmpty())
        return std::nullopt;
    // The last header at or above the top edge.
    const auto it = std::upper_bound(m_headerItem.begin(), m_headerItem.end(), scroll,
                                     [this](qreal v, qsizetype item) { return v < m_items[item].y; });
    if (it == m_headerItem.begin())
        return Pinned{0, m_items[m_headerItem.first()].y};
    const qsizetype group = qsizetype(it - m_headerItem.begin()) - 1;
    const qsizetype last = group + 1 < m_headerItem.size() ? m_headerItem[group + 1] - 1 : m_items.size() - 1;
    const qreal sectionEnd = m_items[last].y + m_items[last].height;
    return Pinned{group,
                  std::max(m_items[m_headerItem[group]].y, std::min(scroll, sectionEnd - m_headerHeight))};
}

qreal HistoryListLayout::scrollToShow(qsizetype item, qreal scroll, qreal viewport) const
{
    if (item < 0 || item >= m_items.size())
        return scroll;
    const Item &it = m_items[item];
    // Above: the row goes just below the header that will be pinned then, i.e. its own.
    if (it.y < scroll + m_headerHeight) {
        const qreal top = it.event >= 0 ? it.y - m_headerHeight : it.y;
        if (top < scroll)
            return std::max<qreal>(0, top);
    }
    const qreal bottom = it.y + it.height;
    if (bottom > scroll + viewport)
        return std::min(bottom - viewport, std::max<qreal>(0, m_height - viewport));
    return scroll;
}
