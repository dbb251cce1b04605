#pragma once

#include "features/report/cards/CardDrawing.h"
#include "services/WeeklyReport.h"
#include "ui/ButtonSkin.h"

#include <QColor>
#include <QLocale>

// The filled-in incident form look of the weekly report, 460 points wide: printed header, boxes
// filled in by hand, severity check boxes, the daily log, the statement and the tilted stamp.
// Parts: "field.0"…"field.5" (with "field.N.value"), "check.0"…"check.3", "daily" (the table),
// "daily.0"…"daily.6" (with "daily.N.count"), "statement", "signature", "stamp" (its upright
// box; it is drawn turned by −9° about its centre), "watermark".
class IncidentFormCard
{
public:
    static constexpr qreal kWidth = 460;
    static constexpr qreal kStampAngle = -9;

    IncidentFormCard(const WeeklyReport &report, ButtonSkin skin, const QLocale &locale);

    CardDrawing layout() const;

    static QColor ink() { return QColor(31, 58, 95); }
    static QColor paper() { return QColor(247, 242, 228); }
    static QColor pen() { return QColor(27, 47, 168); }

private:
    const WeeklyReport &m_report;
    ButtonSkin m_skin;
    QLocale m_locale;
};
