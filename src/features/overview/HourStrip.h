#pragma once

#include <QList>
#include <QWidget>
#include <optional>

// Twenty-four small bars, one per hour of the day, with the peak hour in red, the hovered hour
// darker, and the hour's count as a tooltip.
class HourStrip : public QWidget
{
    Q_OBJECT
public:
    explicit HourStrip(QWidget *parent = nullptr);

    void setHours(const QList<int> &hours, std::optional<int> peakHour);
    QList<int> hours() const { return m_hours; }
    std::optional<int> hovered() const { return m_hovered; }

    // The cell of hour h (its hover and tooltip area) and the bar drawn in it.
    QRectF cellRect(int hour) const;
    QRectF barRect(int hour) const;
    int hourAt(const QPointF &pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int countAt(int hour) const;
    void setHoveredHour(std::optional<int> hour);

    QList<int> m_hours;
    std::optional<int> m_peak;
    std::optional<int> m_hovered;
};
