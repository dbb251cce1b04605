#pragma once

#include <QWidget>

// A rounded rectangle in the theme's well colour behind whatever layout it holds.
class WellBox : public QWidget
{
public:
    explicit WellBox(qreal radius, QWidget *parent = nullptr) : QWidget(parent), m_radius(radius) {}

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_radius;
};
