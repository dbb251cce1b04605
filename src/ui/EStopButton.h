#pragma once

#include "ui/ButtonSkin.h"
#include "ui/EStopDrawing.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class EffectsLayer;
class QTimer;
class SpringAnimator;

// The big emergency-stop button. A press (a click inside its ellipse, or a shortcut its caller
// attaches) runs the caller's action first, then sends out a shock-wave ring and shakes the button.
// The cap springs down and up with the pressed state and glows with the pointer.
class EStopButton : public QWidget
{
    Q_OBJECT
public:
    // Milliseconds on a monotonic clock; tests hand in a fake one.
    using Clock = std::function<qint64()>;

    // `skin` is the look the owner chose; the button never looks it up itself.
    EStopButton(qreal width, ButtonSkin skin, std::function<void()> action, QWidget *parent = nullptr);
    ~EStopButton() override;

    qreal buttonWidth() const { return m_width; }
    ButtonSkin skin() const { return m_skin; }
    void setSkin(ButtonSkin skin);
    void setAction(std::function<void()> action);

    // Presses the button whenever `keys` is typed in this button's window.
    void addShortcut(const QKeySequence &keys);

    // One press: the action, a new ring, one more shake.
    void press();

    bool isDown() const { return m_down; }
    bool isHovering() const { return m_hovering; }
    // Hover as the window finds it from the pointer's position, for a window that may have missed
    // its enter or leave events (mapped under a still pointer).
    void setPointerOver(bool over);
    int waveCount() const { return int(m_waves.size()); }
    qreal shake() const; // the animated press counter; whole values are the rest position
    qreal shakeTarget() const { return m_shakeTo; }
    qreal shakeOffset() const; // sideways displacement of the button, points
    EStopLook currentLook() const;
    // Rings alive or a shake running: the feedback then draws on the window's effects layer.
    bool hasEffects() const;

    // Draws the button, its rings and the shake with the frame's top-left corner at `origin`.
    void paintEffects(QPainter &p, const QPointF &origin) const;

    // The spring that moves the cap; tests advance it by hand.
    SpringAnimator *pressSpring() const { return m_press; }

    void setClock(Clock clock);
    // Brings every animation to the clock's present time (the frame timer calls it).
    void advance();

    QSize sizeHint() const override;

Q_SIGNALS:
    void hoveringChanged(bool hovering);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Wave
    {
        quint64 id;
        qint64 born;
    };

    class GroundPainter;

    bool inHitArea(const QPointF &pos) const;
    bool paintsItself() const;
    bool showsGround() const;
    QRect groundRect(const QRect &box) const;
    void updateGround(const QRect &box);
    void followParent();
    void setDown(bool down);
    void setHovering(bool hovering);
    void startTicking();
    void refresh();
    qint64 now() const;

    qreal m_width;
    ButtonSkin m_skin;
    std::function<void()> m_action;
    Clock m_clock;
    QTimer *m_frameTimer = nullptr;
    QPointer<EffectsLayer> m_layer;
    GroundPainter *m_ground = nullptr;
    QPointer<QWidget> m_groundParent;
    bool m_groundShown = false;

    bool m_down = false;
    bool m_hovering = false;
    bool m_mouseHeld = false;

    // Press: 0 up, 1 down, on a spring whose feel depends on the direction.
    SpringAnimator *m_press = nullptr;
    // Hover: 0 away, 1 over, eased.
    qreal m_hoverFrom = 0;
    qreal m_hoverTo = 0;
    qint64 m_hoverStart = 0;
    // Shake: runs linearly towards m_shakeTo.
    qreal m_shakeFrom = 0;
    qreal m_shakeTo = 0;
    qint64 m_shakeStart = 0;

    QList<Wave> m_waves;
    quint64 m_nextWave = 1;
};
