#pragma once

#include <QGraphicsEffect>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>

class QVariantAnimation;

// Opacity and a drop from below for one widget on its way in or out. Only for widgets without a
// graphics effect inside them (no e-stop): Qt draws an effect nested in another at wrong offsets.
class FadeEffect : public QGraphicsEffect
{
    Q_OBJECT
public:
    explicit FadeEffect(QObject *parent = nullptr);

    qreal opacity() const { return m_opacity; }
    // 0 transparent, 1 opaque; values outside are clamped (springs overshoot).
    void setOpacity(qreal opacity);
    // Points the content is drawn below its place (0 at rest).
    qreal drop() const { return m_drop; }
    void setDrop(qreal drop);

    QRectF boundingRectFor(const QRectF &rect) const override;

protected:
    void draw(QPainter *painter) override;

private:
    qreal m_opacity = 1;
    qreal m_drop = 0;
};

// A picture of what a widget showed, left where it stood while it fades out; mouse-transparent.
class FadingSnapshot : public QWidget
{
    Q_OBJECT
public:
    // Over `widget` in its parent, showing what `widget` shows now.
    explicit FadingSnapshot(QWidget *widget);
    qreal opacity() const { return m_opacity; }
    void setOpacity(qreal opacity);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    qreal m_opacity = 1;
};

// Runs `then` once the work already queued has run and `widget` has then been painted into its
// exposed window, after that frame has gone out: a fade whose clock starts there never spends its
// time while its first frame is built. Asks for that frame; runs at most once, and not at all if
// `widget` goes first.
void afterNextFrame(QWidget *widget, std::function<void()> then);

// A window's opacity on its way in or out, each step sent to the window system at once. A fade in
// starts from the window's next frame: the first frame of a window just shown may take longer to
// reach the screen than the whole fade.
class WindowFade : public QObject
{
    Q_OBJECT
public:
    explicit WindowFade(QWidget *window);

    // From the opacity the window has now to 1, over `ms` from its next frame.
    void fadeIn(int ms);
    // From the opacity the window has now to 0; `done` once it is there.
    void fadeOut(int ms, std::function<void()> done);
    // Ends a fade where it stands; a fade in still waiting for its frame does not start.
    void stop();
    // A fade in waits for its frame, or a fade runs.
    bool isActive() const;
    bool isWaitingForFrame() const { return m_waiting; }

private:
    void animate(qreal to, int ms, std::function<void()> done);

    QWidget *m_window;
    QPointer<QVariantAnimation> m_animation;
    bool m_waiting = false;
    // Tells a frame awaited by a fade that has since been stopped from the current one's.
    int m_generation = 0;
};
