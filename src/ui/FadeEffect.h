#pragma once

#include <QGraphicsEffect>
#include <QPixmap>
#include <QWidget>

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
    void setOpacity(qreal opacity);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    qreal m_opacity = 1;
};
