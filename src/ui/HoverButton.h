#pragma once

#include <QAbstractButton>

// A button that knows whether the pointer is over it; the kit's buttons draw from that.
class HoverButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit HoverButton(QWidget *parent = nullptr);

    bool isHovering() const { return m_hovering; }
    // Hover as the window finds it from the pointer's position, for a window that may have missed
    // its enter or leave events (mapped under a still pointer).
    void setPointerOver(bool over);

Q_SIGNALS:
    void hoveringChanged(bool hovering);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    // The whole widget rectangle takes clicks, transparent corners included.
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }

private:
    void setHovering(bool hovering);
    bool m_hovering = false;
};
