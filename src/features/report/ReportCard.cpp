#include "features/report/ReportCard.h"

#include <QPainter>

ReportCard::ReportCard(const WeeklyReport &report, ReportTheme theme, ButtonSkin skin, const QLocale &locale)
    : m_report(report), m_theme(theme), m_skin(skin), m_locale(locale)
{
}

QSizeF ReportCard::size() const
{
    return {420, 640};
}

void ReportCard::paint(QPainter &painter, QPointF topLeft) const
{
    painter.fillRect(QRectF(topLeft, size()), QColor(0x14, 0x14, 0x14));
}
