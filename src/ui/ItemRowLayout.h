#pragma once

#include <QLayout>
#include <QList>

// A layout that holds its items in a list and sets them out side by side where they fit; a subclass
// says, in place(), how they go where they do not. Its size hint is the one row, its height follows
// from place() for a given width.
class ItemRowLayout : public QLayout
{
public:
    explicit ItemRowLayout(int spacing) : m_spacing(spacing) {}
    ~ItemRowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return place(QRect(0, 0, width, 0), false); }
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

protected:
    // Lays the items out in `rect` (placing them when `apply`) and returns the height they take,
    // margins included.
    virtual int place(const QRect &rect, bool apply) const = 0;

    const int m_spacing;
    QList<QLayoutItem *> m_items;
};
