#pragma once

#include <QLayout>
#include <QList>

// The editor's fact boxes: side by side, sharing the width equally, wherever each still gets the
// width of its widest word; one above the other, each the full width, where they do not (a narrow
// window), so a box never grows past the card and no word is cut.
class FactRow : public QLayout
{
public:
    explicit FactRow(int spacing);
    ~FactRow() override;

    // Whether the boxes stand side by side at `width`.
    bool sideBySide(int width) const;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Lays the boxes out in `rect` (placing them when `apply`) and returns the height they take.
    int place(const QRect &rect, bool apply) const;
    QList<int> shares(int width) const;

    int m_spacing;
    QList<QLayoutItem *> m_items;
};
