#include "ui/SpringAnimator.h"

#include <QtMath>

namespace {
bool g_enabled = true;
constexpr qreal kRestDistance = 0.0005;
constexpr qreal kRestSpeed = 0.005;
} // namespace

SpringAnimator::SpringAnimator(qreal response, qreal dampingFraction, QObject *parent)
    : QObject(parent), m_response(qMax<qreal>(0.01, response)), m_damping(qMax<qreal>(0.0, dampingFraction))
{
    m_timer.setParent(this);
    m_timer.setInterval(16);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SpringAnimator::tick);
}

void SpringAnimator::setAnimationsEnabled(bool enabled)
{
    g_enabled = enabled;
}

bool SpringAnimator::animationsEnabled()
{
    return g_enabled;
}

void SpringAnimator::setTarget(qreal target)
{
    if (!g_enabled) {
        jumpTo(target);
        return;
    }
    m_target = target;
    if (qAbs(m_value - m_target) < kRestDistance && qAbs(m_velocity) < kRestSpeed) {
        jumpTo(target);
        return;
    }
    if (!m_timer.isActive()) {
        m_clock.start();
        m_timer.start();
    }
}

void SpringAnimator::jumpTo(qreal value)
{
    m_timer.stop();
    m_target = value;
    m_velocity = 0;
    if (m_value != value) {
        m_value = value;
        Q_EMIT valueChanged(m_value);
    }
}

void SpringAnimator::advance(qreal seconds)
{
    // Unit mass: stiffness (2π / response)², damping 2ζω.
    const qreal omega = 2 * M_PI / m_response;
    const qreal k = omega * omega;
    const qreal c = 2 * m_damping * omega;
    const qreal step = 1.0 / 1000.0;
    qreal left = qMax<qreal>(0.0, seconds);
    while (left > 0) {
        const qreal dt = qMin(step, left);
        const qreal accel = -k * (m_value - m_target) - c * m_velocity;
        m_velocity += accel * dt; // semi-implicit Euler: stable at this step size
        m_value += m_velocity * dt;
        left -= dt;
    }
    const qreal scale = qMax<qreal>(1.0, qAbs(m_target));
    if (qAbs(m_value - m_target) < kRestDistance * scale && qAbs(m_velocity) < kRestSpeed * scale) {
        m_value = m_target;
        m_velocity = 0;
        m_timer.stop();
        Q_EMIT valueChanged(m_value);
        Q_EMIT settled();
        return;
    }
    Q_EMIT valueChanged(m_value);
}

void SpringAnimator::tick()
{
    const qreal dt = qMin<qreal>(0.05, m_clock.restart() / 1000.0);
    advance(dt);
}
