#pragma once

#include "features/report/cards/CardDrawing.h"
#include "services/WeeklyReport.h"
#include "ui/ButtonSkin.h"

#include <QColor>
#include <QLocale>

// The newspaper front page look of the weekly report, 460 points wide: masthead, headline,
// subhead, a day chart beside the story, the boxed verdict and the footer. Parts: "masthead",
// "headline", "chart" (the framed box), "bar.0"…"bar.6", "story", "peak", "verdict", "footer",
// "watermark".
class TabloidCard
{
public:
    static constexpr qreal kWidth = 460;

    TabloidCard(const WeeklyReport &report, const QColor &ink, const QColor &newsprint, ButtonSkin skin,
                const QLocale &locale);

    CardDrawing layout() const;

private:
    const WeeklyReport &m_report;
    QColor m_ink;
    QColor m_newsprint;
    ButtonSkin m_skin;
    QLocale m_locale;
};
