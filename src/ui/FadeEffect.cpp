#include "ui/FadeEffect.h"

#include "platform/Compositor.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QVariantAnimation>
#include <QWindow>

FadeEffect::FadeEffect(QObject *parent) : QGraphicsEffect(parent)
{
}

void FadeEffect::setOpacity(qreal opacity)
{
    opacity = qBound<qreal>(0, opacity, 1);
    if (qFuzzyCompare(opacity, m_opacity))
        return;
    m_opacity = opacity;
    update();
}

void FadeEffect::setDrop(qreal drop)
{
    if (qFuzzyCompare(drop, m_drop))
        return;
    m_drop = drop;
    updateBoundingRect();
    update();
}

QRectF FadeEffect::boundingRectFor(const QRectF &rect) const
{
    return rect.adjusted(0, qMin<qreal>(0, m_drop), 0, qMax<qreal>(0, m_drop));
}

void FadeEffect::draw(QPainter *painter)
{
    if (m_opacity <= 0)
        return;
    if (m_opacity >= 1 && m_drop == 0) {
        drawSource(painter);
        return;
    }
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
    painter->save();
    painter->setOpacity(painter->opacity() * m_opacity);
    painter->drawPixmap(QPointF(offset) + QPointF(0, m_drop), pixmap);
    painter->restore();
}

namespace {

// A widget and its children as drawn over whatever lies beneath (no window background).
QPixmap pictureOf(QWidget *widget)
{
    const qreal ratio = widget->devicePixelRatioF();
    QPixmap picture(widget->size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    widget->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    return picture;
}

} // namespace

FadingSnapshot::FadingSnapshot(QWidget *widget)
    : QWidget(widget->parentWidget()), m_picture(pictureOf(widget))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(widget->geometry());
    show();
    raise();
}

void FadingSnapshot::setOpacity(qreal opacity)
{
    m_opacity = qBound<qreal>(0, opacity, 1);
    update();
}

void FadingSnapshot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setOpacity(m_opacity);
    p.drawPixmap(0, 0, m_picture);
}

namespace {

// Waits for the widget's first paint that goes to the screen (not a grab of it).
class FrameWatch : public QObject
{
public:
    FrameWatch(QWidget *widget, std::function<void()> then) : QObject(widget), m_then(std::move(then))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const QWindow *window = static_cast<QWidget *>(watched)->window()->windowHandle();
        if (!window || !window->isExposed())
            return false;
        watched->removeEventFilter(this);
        // Queued: the paint under way, and the flush that ends it, come first.
        QMetaObject::invokeMethod(watched, std::move(m_then), Qt::QueuedConnection);
        deleteLater();
        return false;
    }

private:
    std::function<void()> m_then;
};

} // namespace

void afterNextFrame(QWidget *widget, std::function<void()> then)
{
    // What was queued before runs first (a page's refresh after new data, say), so that the frame
    // awaited already shows its outcome.
    QTimer::singleShot(0, widget, [widget, then = std::move(then)]() mutable {
        new FrameWatch(widget, std::move(then));
        widget->update();
    });
}

WindowFade::WindowFade(QWidget *window) : QObject(window), m_window(window)
{
}

void WindowFade::fadeIn(int ms)
{
    stop();
    m_waiting = true;
    afterNextFrame(m_window, [this, generation = m_generation, ms] {
        if (generation != m_generation)
            return;
        m_waiting = false;
        animate(1.0, ms, {});
    });
}

bool WindowFade::isActive() const
{
    return m_waiting || (m_animation && m_animation->state() == QAbstractAnimation::Running);
}

void WindowFade::fadeOut(int ms, std::function<void()> done)
{
    stop();
    animate(0.0, ms, std::move(done));
}

void WindowFade::stop()
{
    ++m_generation;
    m_waiting = false;
    if (m_animation)
        m_animation->stop();
}

void WindowFade::animate(qreal to, int ms, std::function<void()> done)
{
    m_animation = new QVariantAnimation(this);
    m_animation->setStartValue(m_window->windowOpacity());
    m_animation->setEndValue(to);
    m_animation->setDuration(ms);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_window->setWindowOpacity(value.toReal());
        Compositor::flush();
    });
    if (done)
        connect(m_animation, &QVariantAnimation::finished, this, std::move(done));
    m_animation->start(QAbstractAnimation::DeleteWhenStopped);
}
