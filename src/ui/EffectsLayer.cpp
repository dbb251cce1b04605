#include "ui/EffectsLayer.h"

#include "ui/EStopButton.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>

EffectsLayer::EffectsLayer(QWidget *window) : QWidget(window)
{
    setObjectName(QStringLiteral("grumblixEffectsLayer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(window->rect());
    window->installEventFilter(this);
    show();
    raise();
}

EffectsLayer *EffectsLayer::of(QWidget *widget)
{
    if (!widget)
        return nullptr;
    QWidget *window = widget->window();
    if (auto *layer = window->findChild<EffectsLayer *>(QString(), Qt::FindDirectChildrenOnly))
        return layer;
    return new EffectsLayer(window);
}

void EffectsLayer::attach(EStopButton *button)
{
    if (!m_buttons.contains(button))
        m_buttons.append(button);
}

void EffectsLayer::detach(EStopButton *button)
{
    m_buttons.removeAll(button);
    m_buttons.removeAll(nullptr);
    update();
}

void EffectsLayer::raiseAbove()
{
    setGeometry(parentWidget()->rect());
    raise();
}

bool EffectsLayer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

QRect EffectsLayer::visibleArea(const QWidget *button) const
{
    QRect area = rect();
    const QWidget *window = parentWidget();
    for (const QWidget *w = button; w && w != window; w = w->parentWidget()) {
        if (!w->isVisible())
            return {};
        const auto *scroll = qobject_cast<const QAbstractScrollArea *>(w->parentWidget());
        if (scroll && scroll->viewport() == w)
            area &= QRect(w->mapTo(window, QPoint(0, 0)), w->size());
    }
    return area;
}

void EffectsLayer::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (const QPointer<EStopButton> &button : std::as_const(m_buttons)) {
        if (!button || !button->hasEffects() || button->window() != parentWidget())
            continue;
        const QRect area = visibleArea(button);
        if (area.isEmpty())
            continue;
        p.save();
        p.setClipRect(area);
        button->paintEffects(p, QPointF(button->mapTo(parentWidget(), QPoint(0, 0))));
        p.restore();
    }
}
