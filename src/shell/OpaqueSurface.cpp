#include "shell/OpaqueSurface.h"

#include "platform/Compositor.h"
#include "ui/BrutalCard.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QEvent>
#include <QLayout>
#include <QPainter>
#include <QPolygon>
#include <QWidget>

namespace {

// The card nearest the top of the content's tree: the one that gives the window its shape, not one
// of the smaller cards inside it.
BrutalCard *outermostCard(QWidget *content)
{
    QList<QWidget *> level{content};
    while (!level.isEmpty()) {
        QList<QWidget *> next;
        for (QWidget *widget : level) {
            if (auto *card = qobject_cast<BrutalCard *>(widget))
                return card;
            next += widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        }
        level = next;
    }
    return nullptr;
}

QRegion regionOf(const QRectF &rect, qreal radius)
{
    return QRegion(Paint::roundedRect(rect, radius).toFillPolygon().toPolygon(), Qt::WindingFill);
}

} // namespace

OpaqueSurface::OpaqueSurface(QWidget *window)
    : QObject(window), m_window(window), m_compositor(new Compositor::Watch(this)),
      m_translucent(m_compositor->isRunning())
{
    window->setAttribute(Qt::WA_TranslucentBackground, m_translucent);
    window->installEventFilter(this);
    connect(m_compositor, &Compositor::Watch::runningChanged, this, [this] {
        reshape();
        m_window->update();
    });
}

void OpaqueSurface::setContent(QWidget *content)
{
    if (!m_translucent && content->layout())
        content->layout()->setContentsMargins(0, 0, 0, 0);
    for (const QPointer<QWidget> &widget : std::as_const(m_watched))
        if (widget)
            widget->removeEventFilter(this);
    m_watched.clear();
    // The card's place in the window changes with its own geometry and with that of every widget
    // between it and the window.
    m_card = outermostCard(content);
    for (QWidget *widget = m_card; widget && widget != m_window; widget = widget->parentWidget()) {
        widget->installEventFilter(this);
        m_watched << widget;
    }
    reshape();
}

QRegion OpaqueSurface::outline() const
{
    if (!m_card || m_card->size().isEmpty())
        return {};
    const QRectF card = m_card->cardRect().translated(m_card->mapTo(m_window, QPoint()));
    const qreal lift = qMax<qreal>(0, m_card->lift());
    QRegion outline = regionOf(card, m_card->radius());
    if (lift > 0)
        outline += regionOf(card.translated(lift, lift), m_card->radius());
    return outline;
}

void OpaqueSurface::reshape()
{
    m_shaped = m_card && (!m_translucent || !m_compositor->isRunning());
    if (m_shaped)
        m_window->setMask(outline());
    else if (!m_window->mask().isEmpty())
        m_window->clearMask();
}

void OpaqueSurface::paint()
{
    // A translucent window without its compositor would show its clear pixels black: inside the
    // shape it is painted as the opaque one is.
    if (m_translucent && !m_shaped)
        return;
    QPainter p(m_window);
    p.fillRect(m_window->rect(), QColor(Theme::card));
}

bool OpaqueSurface::eventFilter(QObject *watched, QEvent *event)
{
    // The window moving on screen changes nothing in its shape.
    if (event->type() == QEvent::Resize || (event->type() == QEvent::Move && watched != m_window))
        reshape();
    return false;
}
