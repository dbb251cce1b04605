#pragma once

#include "features/report/cards/CardDrawing.h"
#include "features/report/cards/PosterStyle.h"
#include "services/WeeklyReport.h"
#include "ui/ButtonSkin.h"

#include <QLocale>

// The poster look of the weekly report, 440 points wide, in one of five palettes: hazard stripes,
// header, the week's total and change, a bar per day, five stat tiles, the verdict and the mark.
// Parts: "content", "chip", "bar.0"…"bar.6", "tile.0"…"tile.4" (worst, calmest, peak, offender,
// app) with their "tile.N.value", "verdict", "watermark".
class PosterCard
{
public:
    static constexpr qreal kWidth = 440;

    PosterCard(const WeeklyReport &report, const PosterStyle &style, ButtonSkin skin, const QLocale &locale);

    CardDrawing layout() const;

private:
    const WeeklyReport &m_report;
    const PosterStyle &m_style;
    ButtonSkin m_skin;
    QLocale m_locale;
};
