#include "ui/HoverButton.h"

#include <QEnterEvent>
#include <QEvent>

HoverButton::HoverButton(QWidget *parent) : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
}

void HoverButton::enterEvent(QEnterEvent *event)
{
    setHovering(true);
    QAbstractButton::enterEvent(event);
}

void HoverButton::leaveEvent(QEvent *event)
{
    setHovering(false);
    QAbstractButton::leaveEvent(event);
}

void HoverButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}

void HoverButton::setPointerOver(bool over)
{
    setHovering(over);
}

void HoverButton::setHovering(bool hovering)
{
    if (m_hovering == hovering)
        return;
    m_hovering = hovering;
    update();
    Q_EMIT hoveringChanged(hovering);
}
