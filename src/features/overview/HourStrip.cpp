#include "features/overview/HourStrip.h"

#include "features/overview/OverviewCardValues.h"
#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
constexpr qreal cellSpacing = 3;
constexpr qreal labelSpacing = 6;
constexpr int hourCount = 24;
QFont labelFont()
{
    return Fonts::mono(10, QFont::DemiBold);
}
} // namespace

using namespace OverviewCardValues;

HourStrip::HourStrip(QWidget *parent) : QWidget(parent), m_hours(hourCount, 0)
{
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HourStrip::setHours(const QList<int> &hours, std::optional<int> peakHour)
{
    m_hours = hours;
    m_peak = peakHour;
    update();
}

QSize HourStrip::sizeHint() const
{
    return {300, int(hourStripHeight + labelSpacing + QFontMetricsF(labelFont()).height() + 1)};
}

QSize HourStrip::minimumSizeHint() const
{
    return {24 * 4, sizeHint().height()};
}

int HourStrip::countAt(int hour) const
{
    return hour >= 0 && hour < m_hours.size() ? m_hours[hour] : 0;
}

QRectF HourStrip::cellRect(int hour) const
{
    const qreal cell = (width() - cellSpacing * (hourCount - 1)) / hourCount;
    return QRectF(hour * (cell + cellSpacing), 0, cell, hourStripHeight);
}

QRectF HourStrip::barRect(int hour) const
{
    const QRectF cell = cellRect(hour);
    const double h = hourBarHeight(countAt(hour), largest(m_hours));
    return QRectF(cell.left(), cell.bottom() - h, cell.width(), h);
}

int HourStrip::hourAt(const QPointF &pos) const
{
    for (int h = 0; h < hourCount; ++h)
        if (cellRect(h).contains(pos))
            return h;
    return -1;
}

void HourStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int h = 0; h < hourCount; ++h) {
        ThemeColor colour = Theme::ink.opacity(0.28);
        switch (hourTone(h, countAt(h), m_peak, m_hovered)) {
        case HourTone::peak:
            colour = Theme::red;
            break;
        case HourTone::hovered:
            colour = Theme::ink.opacity(0.5);
            break;
        case HourTone::empty:
            colour = Theme::ink.opacity(0.1);
            break;
        case HourTone::filled:
            break;
        }
        const QRectF bar = barRect(h);
        p.setBrush(QColor(colour));
        p.drawPath(Paint::roundedRect(bar, std::min({2.5, bar.height() / 2, bar.width() / 2})));
    }

    // "00" at the left edge, "24" at the right edge, the others evenly between.
    p.setFont(labelFont());
    p.setPen(QColor(Theme::dim));
    const QFontMetricsF fm(labelFont());
    const QStringList labels{"00", "06", "12", "18", "24"};
    qreal used = 0;
    for (const QString &l : labels)
        used += fm.horizontalAdvance(l);
    const qreal gap = (width() - used) / (labels.size() - 1);
    qreal x = 0;
    const qreal y = hourStripHeight + labelSpacing;
    for (const QString &l : labels) {
        p.drawText(QRectF(x, y, fm.horizontalAdvance(l) + 1, fm.height()), Qt::AlignLeft | Qt::AlignTop, l);
        x += fm.horizontalAdvance(l) + gap;
    }
}

void HourStrip::setHoveredHour(std::optional<int> hour)
{
    if (m_hovered == hour)
        return;
    m_hovered = hour;
    update();
}

void HourStrip::mouseMoveEvent(QMouseEvent *event)
{
    const int h = hourAt(event->position());
    if (h >= 0)
        setHoveredHour(h);
    else if (m_hovered && !cellRect(*m_hovered).contains(event->position()))
        setHoveredHour(std::nullopt);
    QWidget::mouseMoveEvent(event);
}

void HourStrip::leaveEvent(QEvent *event)
{
    setHoveredHour(std::nullopt);
    QWidget::leaveEvent(event);
}

bool HourStrip::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int h = hourAt(help->pos());
        if (h >= 0)
            QToolTip::showText(help->globalPos(), hourTooltip(h, countAt(h)), this,
                               cellRect(h).toAlignedRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
