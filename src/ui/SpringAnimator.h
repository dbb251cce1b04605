#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A critically-to-under-damped spring that moves a value towards its target, described the way
// the design gives springs: `response` (seconds for one undamped oscillation) and
// `dampingFraction` (1 = no overshoot, below 1 = bounce). Runs on a timer owned by the animator,
// so it dies with its owner.
class SpringAnimator : public QObject
{
    Q_OBJECT
public:
    SpringAnimator(qreal response, qreal dampingFraction, QObject *parent = nullptr);

    qreal value() const { return m_value; }
    qreal target() const { return m_target; }
    qreal velocity() const { return m_velocity; }
    bool isRunning() const { return m_timer.isActive(); }

    qreal response() const { return m_response; }
    void setResponse(qreal response) { m_response = qMax<qreal>(0.01, response); }
    qreal dampingFraction() const { return m_damping; }
    void setDampingFraction(qreal damping) { m_damping = qMax<qreal>(0.0, damping); }

    // Starts moving towards `target` from where the value is now, keeping its velocity.
    void setTarget(qreal target);
    // Sets value and target at once, without motion.
    void jumpTo(qreal value);

    // Integrates `seconds` of motion; the timer calls this, tests may too.
    void advance(qreal seconds);

    // Off: every setTarget() jumps (tests and still images).
    static void setAnimationsEnabled(bool enabled);
    static bool animationsEnabled();

Q_SIGNALS:
    void valueChanged(qreal value);
    void settled();

private:
    void tick();

    qreal m_response;
    qreal m_damping;
    qreal m_value = 0;
    qreal m_target = 0;
    qreal m_velocity = 0;
    QTimer m_timer;
    QElapsedTimer m_clock;
};
