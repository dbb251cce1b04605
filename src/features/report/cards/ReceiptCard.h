#pragma once

#include "features/report/cards/CardDrawing.h"
#include "services/WeeklyReport.h"
#include "ui/ButtonSkin.h"

#include <QColor>
#include <QLocale>

// The till-receipt look of the weekly report, 380 points wide, in monospaced type on paper torn
// at top and bottom. Parts: "paper", "item.N", "day.N" (with "day.N.value"), "summary.N", "total",
// "verdict", "barcode", "number", "watermark".
class ReceiptCard
{
public:
    static constexpr qreal kWidth = 380;
    static constexpr qreal kTooth = 9;

    ReceiptCard(const WeeklyReport &report, const QColor &ink, const QColor &paper, ButtonSkin skin,
                const QLocale &locale);

    CardDrawing layout() const;

    // The bars' colour, whatever the ink.
    static QColor barColor() { return QColor(42, 40, 38); }

private:
    const WeeklyReport &m_report;
    QColor m_ink;
    QColor m_paper;
    ButtonSkin m_skin;
    QLocale m_locale;
};
