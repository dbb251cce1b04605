#pragma once

#include <QBoxLayout>

class QScrollArea;
class QVBoxLayout;
class QWidget;

// The padding round a page's content; the sidebar's brand sits at the same height as the header.
constexpr int pagePadding = 32;

// A transparent vertical scroll area filling `parent`, with the look's scroll bar; `column`
// receives the layout of its content.
QScrollArea *makeSeeThroughScroll(QWidget *parent, QVBoxLayout **column);

// A dashboard page's scrolling column: transparent, so the paper and dots show through, with the
// pages' 32-point padding. `column` receives the layout the page fills. The scroll bar, while it
// shows, lies in the right-hand padding: the page keeps its width whether it scrolls or not.
QScrollArea *makePageScroll(QWidget *page, QVBoxLayout **column, int spacing);

// A row (or, turned, a column) of a page's hard-shadow cards, `spacing` apart from one card's own
// edge to the next. A card's slab lies outside its frame: it takes its `slabRoom` (inside the
// card's widget) from the gap after the card, and the last card's reaches past the row into the
// page's padding or the gap below, so the cards' own edges line up with the padding. For a row
// placed directly in the page's column, whose padding holds the last slab.
class CardRow : public QBoxLayout
{
public:
    CardRow(Direction direction, int spacing, int slabRoom);

    void setGeometry(const QRect &rect) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    QSize maximumSize() const override;
    int heightForWidth(int width) const override;
    int minimumHeightForWidth(int width) const override;

private:
    QSize withoutRoom(QSize size) const;

    const int m_room;
};
