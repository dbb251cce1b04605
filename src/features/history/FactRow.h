#pragma once

#include "ui/ItemRowLayout.h"

// The editor's fact boxes: side by side, sharing the width equally, wherever each still gets the
// width of its widest word; one above the other, each the full width, where they do not (a narrow
// window), so a box never grows past the card and no word is cut.
class FactRow : public ItemRowLayout
{
public:
    using ItemRowLayout::ItemRowLayout;

    // Whether the boxes stand side by side at `width`.
    bool sideBySide(int width) const;

    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    QSize minimumSize() const override;

protected:
    int place(const QRect &rect, bool apply) const override;

private:
    QList<int> shares(int width) const;
};
