#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// The week chart's plot: seven bars with their counts, a dashed value grid on the left and the day
// names below. It reports the day under the pointer by name; the card decides what that means.
class WeekChartPlot : public QWidget
{
    Q_OBJECT
public:
    struct Bar
    {
        QString name; // abbreviated weekday, also the hover identity
        int count = 0;
        bool isToday = false;
        bool isFuture = false;
        bool operator==(const Bar &) const = default;
    };

    explicit WeekChartPlot(QWidget *parent = nullptr);

    QList<Bar> bars() const { return m_bars; }
    void setBars(const QList<Bar> &bars);
    QString hovered() const { return m_hovered; }
    void setHovered(const QString &name);

    // The plot area (bars and grid) inside the widget.
    QRectF plotRect() const;
    // The bar of day `index`, the rounded shape that is filled.
    QRectF barRect(int index) const;

    QSize sizeHint() const override { return {420, 210}; }

Q_SIGNALS:
    void hoveredChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int axisTop() const;
    void hoverAt(double x);

    QList<Bar> m_bars;
    QString m_hovered;
};
