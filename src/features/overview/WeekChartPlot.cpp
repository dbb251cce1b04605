#include "features/overview/WeekChartPlot.h"

#include "features/overview/WeekChartValues.h"
#include "ui/Fonts.h"
#include "ui/HeavyText.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
constexpr qreal barShare = 0.55;
constexpr qreal barRadius = 6;
constexpr qreal annotationRoom = 20; // above the highest mark, for its count label
constexpr qreal labelGap = 6;

QFont valueFont()
{
    return Fonts::font(10, QFont::Normal);
}
QFont dayFont()
{
    return Fonts::rounded(11, QFont::DemiBold);
}
QFont countFont()
{
    return Fonts::rounded(11, QFont::Black);
}
} // namespace

WeekChartPlot::WeekChartPlot(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumHeight(210);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(210);
}

void WeekChartPlot::setBars(const QList<Bar> &bars)
{
    if (bars == m_bars)
        return;
    m_bars = bars;
    update();
}

void WeekChartPlot::setHovered(const QString &name)
{
    if (m_hovered == name)
        return;
    m_hovered = name;
    update();
    Q_EMIT hoveredChanged(name);
}

int WeekChartPlot::axisTop() const
{
    int largest = 0;
    for (const Bar &bar : m_bars)
        largest = std::max(largest, bar.count);
    return WeekChartValues::axisMarks(largest).constLast();
}

QRectF WeekChartPlot::plotRect() const
{
    const QFontMetricsF values(valueFont());
    const QFontMetricsF days(dayFont());
    // The widest mark, not the top one: "0" is wider than "1" in most faces.
    qreal labelWidth = 0;
    int largest = 0;
    for (const Bar &bar : m_bars)
        largest = std::max(largest, bar.count);
    for (int mark : WeekChartValues::axisMarks(largest))
        labelWidth = std::max(labelWidth, values.horizontalAdvance(QLocale().toString(mark)));
    const qreal left = labelWidth + labelGap;
    const qreal bottom = height() - days.height() - labelGap;
    return QRectF(left, annotationRoom, std::max<qreal>(0, width() - left),
                  std::max<qreal>(0, bottom - annotationRoom));
}

QRectF WeekChartPlot::barRect(int index) const
{
    const QRectF plot = plotRect();
    if (m_bars.isEmpty() || index < 0 || index >= m_bars.size())
        return {};
    const qreal band = plot.width() / m_bars.size();
    const qreal barWidth = band * barShare;
    const qreal height = plot.height() * m_bars[index].count / std::max(axisTop(), 1);
    return QRectF(plot.left() + band * index + (band - barWidth) / 2, plot.bottom() - height, barWidth,
                  height);
}

void WeekChartPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = plotRect();
    const QList<int> marks = WeekChartValues::axisMarks([this] {
        int largest = 0;
        for (const Bar &bar : m_bars)
            largest = std::max(largest, bar.count);
        return largest;
    }());
    const int top = std::max(marks.constLast(), 1);
    const QLocale locale;

    // Value grid: dashed lines with their labels on the leading side.
    QPen dash(QColor(Theme::grid), 1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    dash.setDashPattern({3, 4});
    p.setFont(valueFont());
    const QFontMetricsF values(valueFont());
    for (int mark : marks) {
        const qreal y = std::round(plot.bottom() - plot.height() * mark / top) + 0.5;
        p.setPen(dash);
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(QColor(Theme::dim));
        const QString text = locale.toString(mark);
        p.drawText(QRectF(0, y - values.height() / 2, plot.left() - labelGap, values.height()),
                   Qt::AlignRight | Qt::AlignVCenter, text);
    }

    const bool anyHovered = !m_hovered.isEmpty();
    const qreal band = m_bars.isEmpty() ? 0 : plot.width() / m_bars.size();
    for (int i = 0; i < m_bars.size(); ++i) {
        const Bar &bar = m_bars[i];
        const bool isHovered = anyHovered && bar.name == m_hovered;
        ThemeColor fill = Theme::red;
        switch (WeekChartValues::barTone(bar.isFuture, bar.isToday, isHovered, anyHovered)) {
        case WeekChartValues::BarTone::future:
            fill = Theme::grid;
            break;
        case WeekChartValues::BarTone::hovered:
        case WeekChartValues::BarTone::today:
            fill = Theme::red;
            break;
        case WeekChartValues::BarTone::dimmed:
            fill = Theme::red.opacity(0.35);
            break;
        case WeekChartValues::BarTone::normal:
            fill = Theme::red.opacity(0.78);
            break;
        }
        const QRectF rect = barRect(i);
        if (rect.height() > 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(fill));
            // A bar lower than its corners is clipped to its height, as a short rounded slab.
            p.drawPath(Paint::roundedRect(rect, std::min({barRadius, rect.height() / 2, rect.width() / 2})));
        }
        if (bar.count >= 1) {
            p.setFont(countFont());
            p.setPen(QColor(Theme::ink.opacity(WeekChartValues::countLabelOpacity(isHovered, anyHovered))));
            const QFontMetricsF fm(countFont());
            HeavyText::draw(
                p, QRectF(rect.center().x() - band / 2, rect.top() - 4 - fm.height(), band, fm.height()),
                Qt::AlignHCenter | Qt::AlignBottom, locale.toString(bar.count));
        }
        p.setFont(dayFont());
        p.setPen(QColor(Theme::ink));
        p.drawText(QRectF(plot.left() + band * i, plot.bottom() + labelGap, band,
                          height() - plot.bottom() - labelGap),
                   Qt::AlignHCenter | Qt::AlignTop, bar.name);
    }
}

void WeekChartPlot::hoverAt(double x)
{
    const QRectF plot = plotRect();
    const int band = WeekChartValues::bandAt(x - plot.left(), plot.width(), int(m_bars.size()));
    setHovered(band < 0 ? QString() : m_bars[band].name);
}

void WeekChartPlot::mouseMoveEvent(QMouseEvent *event)
{
    hoverAt(event->position().x());
    QWidget::mouseMoveEvent(event);
}

void WeekChartPlot::leaveEvent(QEvent *event)
{
    setHovered({});
    QWidget::leaveEvent(event);
}
