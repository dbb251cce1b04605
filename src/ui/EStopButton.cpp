#include "ui/EStopButton.h"

#include "ui/EffectsLayer.h"
#include "ui/SpringAnimator.h"

#include <QEasingCurve>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>
#include <QtMath>

namespace {

constexpr qint64 kShakeMs = 320;
constexpr qint64 kRingGrowMs = 600;
constexpr qint64 kRingLifeMs = 800;
constexpr qint64 kHoverMs = 150;
constexpr qreal kShakeAmount = 5.0;

qint64 monotonicMs()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

// The standard ease-out: a cubic Bézier through (0.58, 1).
qreal easeOut(qreal x)
{
    static const QEasingCurve curve = [] {
        QEasingCurve c(QEasingCurve::BezierSpline);
        c.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
        return c;
    }();
    return curve.valueForProgress(qBound<qreal>(0, x, 1));
}

} // namespace

// The ground shadow reaches past the button's box, mostly right and below; a widget paints only
// inside its own box, so the parent lays the shadow down right after painting itself, under the
// button and whatever else the parent holds. Not a graphics effect: Qt draws an effect nested in
// another (a fading page or card around the button) at wrong offsets.
class EStopButton::GroundPainter : public QObject
{
public:
    explicit GroundPainter(EStopButton *button) : QObject(button), m_button(button) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *parent = m_button->parentWidget();
        if (watched != parent || event->type() != QEvent::Paint || m_painting)
            return false;
        // The parent's own painting first, then the shadow on top of it.
        m_painting = true;
        static_cast<QObject *>(parent)->event(event);
        m_painting = false;
        if (m_button->showsGround()) {
            QPainter p(parent);
            p.setClipRegion(static_cast<QPaintEvent *>(event)->region());
            paintEStopGround(p, m_button->geometry().topLeft(), m_button->m_width);
        }
        return true;
    }

private:
    EStopButton *m_button;
    bool m_painting = false;
};

EStopButton::EStopButton(qreal width, ButtonSkin skin, std::function<void()> action, QWidget *parent)
    : QWidget(parent), m_width(width), m_skin(skin), m_action(std::move(action)), m_clock(monotonicMs)
{
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setFixedSize(sizeHint());
    setAccessibleName(QStringLiteral("Grumblix"));
    m_frameTimer = new QTimer(this);
    m_frameTimer->setTimerType(Qt::PreciseTimer);
    m_frameTimer->setInterval(16);
    connect(m_frameTimer, &QTimer::timeout, this, &EStopButton::advance);
    m_press = new SpringAnimator(0.28, 0.45, this);
    connect(m_press, &SpringAnimator::valueChanged, this, &EStopButton::refresh);
    m_ground = new GroundPainter(this);
    followParent();
}

EStopButton::~EStopButton()
{
    if (m_layer)
        m_layer->detach(this);
}

void EStopButton::setSkin(ButtonSkin skin)
{
    if (m_skin == skin)
        return;
    m_skin = skin;
    refresh();
}

void EStopButton::setAction(std::function<void()> action)
{
    m_action = std::move(action);
}

void EStopButton::addShortcut(const QKeySequence &keys)
{
    auto *shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, this, &EStopButton::press);
}

void EStopButton::press()
{
    // The caller's action comes first, so that whatever it logs is in place before the feedback.
    if (m_action)
        m_action();
    const qint64 t = now();
    m_waves.append({m_nextWave++, t});
    m_shakeFrom = shake();
    m_shakeTo += 1;
    m_shakeStart = t;
    if (!m_layer && window() != this)
        m_layer = EffectsLayer::of(this);
    if (m_layer) {
        m_layer->attach(this);
        m_layer->raiseAbove();
    }
    startTicking();
    refresh();
}

qint64 EStopButton::now() const
{
    return m_clock();
}

void EStopButton::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(monotonicMs);
}

qreal EStopButton::shake() const
{
    const qreal f = qBound<qreal>(0, qreal(now() - m_shakeStart) / kShakeMs, 1);
    return m_shakeFrom + (m_shakeTo - m_shakeFrom) * f;
}

qreal EStopButton::shakeOffset() const
{
    const qreal s = shake();
    if (s == std::floor(s))
        return 0; // exactly at rest on whole values, whatever sin() makes of them
    return kShakeAmount * std::sin(s * M_PI * 4);
}

EStopLook EStopButton::currentLook() const
{
    const qint64 t = now();
    qreal hover = m_hoverTo;
    if (t - m_hoverStart < kHoverMs)
        hover = m_hoverFrom + (m_hoverTo - m_hoverFrom) * easeOut(qreal(t - m_hoverStart) / kHoverMs);
    return EStopLook::blend(m_press->value(), hover);
}

bool EStopButton::hasEffects() const
{
    return !m_waves.isEmpty() || shake() != m_shakeTo;
}

void EStopButton::setDown(bool down)
{
    if (m_down == down)
        return;
    m_down = down;
    // A fast press without overshoot, a bouncy release; the spring keeps its current speed.
    m_press->setResponse(down ? 0.08 : 0.28);
    m_press->setDampingFraction(down ? 1.0 : 0.45);
    m_press->setTarget(down ? 1.0 : 0.0);
    refresh();
}

void EStopButton::setHovering(bool hovering)
{
    if (m_hovering == hovering)
        return;
    const qint64 t = now();
    const qreal f = qBound<qreal>(0, qreal(t - m_hoverStart) / kHoverMs, 1);
    m_hoverFrom = m_hoverFrom + (m_hoverTo - m_hoverFrom) * easeOut(f);
    m_hoverTo = hovering ? 1.0 : 0.0;
    m_hoverStart = t;
    m_hovering = hovering;
    Q_EMIT hoveringChanged(hovering);
    startTicking();
    refresh();
}

void EStopButton::setPointerOver(bool over)
{
    setHovering(over);
}

void EStopButton::startTicking()
{
    if (!m_frameTimer->isActive())
        m_frameTimer->start();
}

void EStopButton::advance()
{
    const qint64 t = now();
    m_waves.erase(std::remove_if(m_waves.begin(), m_waves.end(),
                                 [t](const Wave &w) { return t - w.born >= kRingLifeMs; }),
                  m_waves.end());
    const bool hoverRunning = t - m_hoverStart < kHoverMs;
    if (!hoverRunning && !hasEffects())
        m_frameTimer->stop();
    refresh();
}

void EStopButton::refresh()
{
    // The parent lays the ground down only while the button paints itself: when the effects layer
    // takes over (or gives back) the shaking button, the shadow beside the box changes hands too.
    const bool ground = showsGround();
    if (ground != m_groundShown) {
        m_groundShown = ground;
        updateGround(geometry());
    }
    update();
    if (m_layer)
        m_layer->update();
}

bool EStopButton::inHitArea(const QPointF &pos) const
{
    return eStopHitArea(m_width).contains(pos);
}

QSize EStopButton::sizeHint() const
{
    return QSize(qCeil(m_width), qCeil(eStopHeight(m_width)));
}

void EStopButton::paintEffects(QPainter &p, const QPointF &origin) const
{
    const QPointF shaken = origin + QPointF(shakeOffset(), 0);
    const ButtonSkin::Palette palette = m_skin.palette();
    paintEStopBody(p, shaken, m_width, currentLook(), palette);
    const qint64 t = now();
    for (const Wave &wave : m_waves)
        paintShockwave(p, shaken, m_width, palette.glow, easeOut(qreal(t - wave.born) / kRingGrowMs));
}

bool EStopButton::showsGround() const
{
    return parentWidget() && !isWindow() && isVisible() && paintsItself();
}

QRect EStopButton::groundRect(const QRect &box) const
{
    return box.marginsAdded(eStopGroundOverhang(m_width).toMargins() + QMargins(1, 1, 1, 1));
}

void EStopButton::updateGround(const QRect &box)
{
    if (parentWidget() && !isWindow())
        parentWidget()->update(groundRect(box));
}

void EStopButton::followParent()
{
    if (m_groundParent == parentWidget())
        return;
    if (m_groundParent)
        m_groundParent->removeEventFilter(m_ground);
    m_groundParent = parentWidget();
    if (m_groundParent && !isWindow())
        m_groundParent->installEventFilter(m_ground);
}

bool EStopButton::paintsItself() const
{
    // The layer draws the button while its feedback reaches outside.
    return !(m_layer && hasEffects());
}

void EStopButton::paintEvent(QPaintEvent *)
{
    if (!paintsItself())
        return;
    QPainter p(this);
    if (isWindow()) {
        // A window of its own has no parent to shadow (Qt applies no effect to windows): everything
        // stays inside the box.
        if (hasEffects())
            paintEffects(p, QPointF(0, 0));
        else
            paintEStopBody(p, QPointF(0, 0), m_width, currentLook(), m_skin.palette());
        return;
    }
    paintEStopRaised(p, QPointF(0, 0), m_width, currentLook(), m_skin.palette());
}

void EStopButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !inHitArea(event->position())) {
        event->ignore();
        return;
    }
    m_mouseHeld = true;
    setDown(true);
}

void EStopButton::mouseMoveEvent(QMouseEvent *event)
{
    if (m_mouseHeld)
        setDown(inHitArea(event->position()));
}

void EStopButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_mouseHeld || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_mouseHeld = false;
    const bool inside = inHitArea(event->position());
    setDown(false);
    if (inside)
        press();
}

void EStopButton::enterEvent(QEnterEvent *event)
{
    setHovering(true);
    QWidget::enterEvent(event);
}

void EStopButton::leaveEvent(QEvent *event)
{
    setHovering(false);
    QWidget::leaveEvent(event);
}

void EStopButton::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Qt repaints only the box at the old and new place; the shadow beside it moves too.
    updateGround(QRect(event->oldPos(), size()));
    updateGround(geometry());
}

void EStopButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ParentChange)
        followParent();
}

void EStopButton::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_groundShown = showsGround();
    updateGround(geometry());
    if (m_layer && m_layer->parentWidget() != window()) {
        m_layer->detach(this); // moved to another window
        m_layer = nullptr;
    }
    if (!m_layer && window() != this)
        m_layer = EffectsLayer::of(this);
    if (m_layer)
        m_layer->attach(this);
}

void EStopButton::hideEvent(QHideEvent *event)
{
    m_mouseHeld = false;
    if (m_down)
        setDown(false);
    setHovering(false);
    QWidget::hideEvent(event);
    m_groundShown = false;
    updateGround(geometry());
}
