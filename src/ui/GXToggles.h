#pragma once

#include "ui/HoverButton.h"

class SpringAnimator;

// Draws the capsule switch (42 × 24 plus its 2-point shadow below) at `topLeft`; `on` goes from
// 0 (off: grey knob left, well track) to 1 (on: white knob with a red tick right, red track).
void paintGXSwitch(QPainter &p, const QPointF &topLeft, qreal on);
// Draws the 18 × 18 check box (plus its 1.5 shadow) at `topLeft`, `on` from 0 to 1.
void paintGXCheckbox(QPainter &p, const QPointF &topLeft, qreal on);

// A switch row: the label at the left, the switch at the right; a click anywhere on the row
// toggles it. With no label it is just the switch. setLabelWidget() puts a richer label in place
// of the text; it takes no clicks of its own.
class GXSwitch : public HoverButton
{
    Q_OBJECT
public:
    explicit GXSwitch(const QString &text = {}, QWidget *parent = nullptr);

    void setLabelWidget(QWidget *label);
    // 0 off … 1 on, following the spring.
    qreal knob() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    QWidget *m_label = nullptr;
    SpringAnimator *m_spring;
};

// A check box before its label; a click anywhere on the row toggles it.
class GXCheckbox : public HoverButton
{
    Q_OBJECT
public:
    explicit GXCheckbox(const QString &text = {}, QWidget *parent = nullptr);

    qreal mark() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    SpringAnimator *m_spring;
};
