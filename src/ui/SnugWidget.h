#pragma once

#include <QWidget>

// A painted piece with a natural size that a layout never squeezes below it (a strip of tape,
// key caps, a symbol): drawn any smaller, it would be cut.
class SnugWidget : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    QSize minimumSizeHint() const override { return sizeHint(); }
};
