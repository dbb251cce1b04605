#pragma once

#include "ui/HoverButton.h"

class SpringAnimator;

// Draws the capsule switch (42 × 24 plus its 2-point shadow below) at `topLeft`; `on` goes from
// 0 (off: grey knob left, well track) to 1 (on: white knob with a red tick right, red track).
void paintGXSwitch(QPainter &p, const QPointF &topLeft, qreal on);
// Draws the 18 × 18 check box (plus its 1.5 shadow) at `topLeft`, `on` from 0 to 1.
void paintGXCheckbox(QPainter &p, const QPointF &topLeft, qreal on);

// A checkable button whose drawing follows its checked state on a spring: setChecked() jumps,
// a click animates.
class SpringToggle : public HoverButton
{
    Q_OBJECT
public:
    SpringToggle(qreal response, qreal dampingFraction, QWidget *parent = nullptr);

    // 0 off … 1 on (may overshoot while moving).
    qreal progress() const;

protected:
    void checkStateSet() override;
    void nextCheckState() override;

private:
    SpringAnimator *m_spring;
};

// A switch row: the label at the left, the switch at the right; a click anywhere on the row
// toggles it. A text label wraps onto more lines where the row is narrow, and the row grows down.
// With no label it is just the switch. setLabelWidget() puts a richer label in place of the text;
// it takes no clicks of its own.
class GXSwitch : public SpringToggle
{
    Q_OBJECT
public:
    explicit GXSwitch(const QString &text = {}, QWidget *parent = nullptr);

    void setLabelWidget(QWidget *label);
    qreal knob() const { return progress(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_label = nullptr;
};

// A check box before its label; a click anywhere on the row toggles it.
class GXCheckbox : public SpringToggle
{
    Q_OBJECT
public:
    explicit GXCheckbox(const QString &text = {}, QWidget *parent = nullptr);

    qreal mark() const { return progress(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
};
