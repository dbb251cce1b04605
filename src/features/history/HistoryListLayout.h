#pragma once

#include "features/history/HistoryDays.h"

#include <QList>
#include <functional>

// Where every header and row of the history list sits: a vertical stack with 2 between items,
// 8 below the last one, one header per day group followed by its rows. Pure numbers, so the list
// paints only what is in view and tests check the pinned header and the scrolling without a display.
class HistoryListLayout
{
public:
    struct Item
    {
        qsizetype group;
        qsizetype event; // index into the incidents; -1 for the group's header
        qreal y;
        qreal height;
        bool operator==(const Item &) const = default;
    };

    static constexpr qreal kSpacing = 2;
    static constexpr qreal kBottom = 8;

    HistoryListLayout() = default;
    // rowHeight gives the height of the row of one incident (by index below eventCount).
    HistoryListLayout(const QList<DayGroup> &groups, qsizetype eventCount, qreal headerHeight,
                      const std::function<qreal(qsizetype event)> &rowHeight);

    const QList<Item> &items() const { return m_items; }
    qreal height() const { return m_height; }
    qreal headerHeight() const { return m_headerHeight; }

    // The first item whose bottom lies below y (the topmost visible at scroll offset y); -1 if none.
    qsizetype itemAt(qreal y) const;
    // The item of an incident's row; -1 when it is not listed.
    qsizetype itemOfEvent(qsizetype event) const;

    // The header pinned at the top for scroll offset `scroll`: its group and its top in content
    // coordinates (it stays at the top until its section's last row pushes it up). None above the
    // first header.
    struct Pinned
    {
        qsizetype group;
        qreal y;
    };
    std::optional<Pinned> pinned(qreal scroll) const;

    // The least scroll offset change that shows the whole of `item` in a viewport of `viewport`
    // height below the pinned header.
    qreal scrollToShow(qsizetype item, qreal scroll, qreal viewport) const;

    // Every item in the same place (then only the rows whose contents changed need painting).
    bool sameItems(const HistoryListLayout &other) const
    {
        return m_headerHeight == other.m_headerHeight && m_items == other.m_items;
    }

private:
    QList<Item> m_items;
    QList<qsizetype> m_headerItem;  // per group
    QList<qsizetype> m_itemOfEvent; // per incident index, -1 when not listed
    qreal m_headerHeight = 0;
    qreal m_height = 0;
};
