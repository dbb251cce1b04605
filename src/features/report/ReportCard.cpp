#include "features/report/ReportCard.h"

#include "features/report/cards/IncidentFormCard.h"
#include "features/report/cards/PosterCard.h"
#include "features/report/cards/ReceiptCard.h"
#include "features/report/cards/TabloidCard.h"

#include <QPainter>

namespace {

CardDrawing layoutCard(const WeeklyReport &report, ReportTheme theme, ButtonSkin skin, const QLocale &locale)
{
    switch (theme) {
    case ReportTheme::midnight:
        return PosterCard(report, PosterStyle::midnight(), skin, locale).layout();
    case ReportTheme::paper:
        return PosterCard(report, PosterStyle::paper(), skin, locale).layout();
    case ReportTheme::hazard:
        return PosterCard(report, PosterStyle::hazard(), skin, locale).layout();
    case ReportTheme::synthwave:
        return PosterCard(report, PosterStyle::synthwave(), skin, locale).layout();
    case ReportTheme::blueprint:
        return PosterCard(report, PosterStyle::blueprint(), skin, locale).layout();
    case ReportTheme::receipt:
        return ReceiptCard(report, QColor(42, 40, 38), QColor(251, 250, 245), skin, locale).layout();
    case ReportTheme::tabloid:
        return TabloidCard(report, QColor(20, 20, 20), QColor(242, 238, 227), skin, locale).layout();
    case ReportTheme::incident:
        return IncidentFormCard(report, skin, locale).layout();
    }
    return PosterCard(report, PosterStyle::midnight(), skin, locale).layout();
}

} // namespace

ReportCard::ReportCard(const WeeklyReport &report, ReportTheme theme, ButtonSkin skin, const QLocale &locale)
    : m_report(report), m_theme(theme), m_skin(skin), m_locale(locale)
{
}

const CardDrawing &ReportCard::drawing() const
{
    if (!m_drawing)
        m_drawing = std::make_shared<const CardDrawing>(layoutCard(m_report, m_theme, m_skin, m_locale));
    return *m_drawing;
}

QSizeF ReportCard::size() const
{
    return drawing().size();
}

void ReportCard::paint(QPainter &painter, QPointF topLeft) const
{
    drawing().paint(painter, topLeft);
}
