#pragma once

#include "ui/ButtonSkin.h"

#include <QMargins>
#include <QPainterPath>
#include <QPointF>
#include <QRadialGradient>

class QPainter;

// The drawn emergency-stop button. Every size is a fraction of the width w; the drawing's frame is
// w wide and eStopHeight(w) tall, placed with its top-left corner at `origin`.

// The animated values of the drawing: cap travel (fraction of w), glow opacity, cap brightness.
struct EStopLook
{
    qreal travel = 0.15;
    qreal glow = 0.2;
    qreal brightness = 0.0;

    // The resting values of a state; pressed ignores hovering.
    static EStopLook of(bool pressed, bool hovering);
    // The look between the states: `press` runs 0 (up) to 1 (down) and may overshoot while a spring
    // settles, `hover` runs 0 to 1.
    static EStopLook blend(qreal press, qreal hover);
};

constexpr qreal kEStopAspect = 0.78;
inline qreal eStopHeight(qreal w)
{
    return kEStopAspect * w;
}

// The cap's dome: capLight, cap and capDark spread evenly from `centre` out to `radius`.
QRadialGradient capGradient(const QPointF &centre, qreal radius, const ButtonSkin::Palette &palette);

// The whole button: the ground shadow it stands on, then everything above it.
void paintEStopBody(QPainter &p, const QPointF &origin, qreal w, const EStopLook &look,
                    const ButtonSkin::Palette &palette);
void paintEStopGround(QPainter &p, const QPointF &origin, qreal w);
void paintEStopRaised(QPainter &p, const QPointF &origin, qreal w, const EStopLook &look,
                      const ButtonSkin::Palette &palette);
// How far the ground shadow reaches past the frame on each side; a widget drawing the button
// leaves this much room around it, or lets the shadow fall on what lies beside it.
QMarginsF eStopGroundOverhang(qreal w);

// The area that presses the button: the frame's ellipse squashed to 0.9 of its height.
QPainterPath eStopHitArea(qreal w);

// One shock-wave ring around a button whose frame starts at `origin`. `progress` is the eased
// fraction of the ring's growth, 0 (just born) to 1 (grown and faded).
void paintShockwave(QPainter &p, const QPointF &origin, qreal w, const QColor &color, qreal progress);
// Where a ring reaches at its largest, for repainting.
QRectF shockwaveBounds(const QPointF &origin, qreal w);
