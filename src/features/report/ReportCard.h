#pragma once

#include "features/report/ReportTheme.h"
#include "features/report/cards/CardDrawing.h"
#include "services/WeeklyReport.h"
#include "ui/ButtonSkin.h"

#include <QLocale>
#include <QPointF>
#include <QSizeF>
#include <memory>

class QPainter;

// One week's report drawn in one theme. A pure drawing: it reads no store, preference or clock;
// the watermark's button skin and the locale for dates are handed in. The page's preview, the
// exported image and the tests all draw through this one class. Colours of the app palette
// resolve against the scheme in force (the export forces light).
class ReportCard
{
public:
    ReportCard(const WeeklyReport &report, ReportTheme theme, ButtonSkin skin = ButtonSkin::classic,
               const QLocale &locale = QLocale());

    // The card's own size in points (each card fixes its width; its height follows its content).
    // Shadows and tilted pieces that the card draws outside it stay within 24 points of it.
    QSizeF size() const;
    // Draws the card with its top-left corner at `topLeft`.
    void paint(QPainter &painter, QPointF topLeft = {}) const;

    ReportTheme theme() const { return m_theme; }
    const WeeklyReport &report() const { return m_report; }

    // The card laid out: its named parts and placed texts, in card coordinates. Computed once.
    const CardDrawing &drawing() const;

private:
    WeeklyReport m_report;
    ReportTheme m_theme;
    ButtonSkin m_skin;
    QLocale m_locale;
    mutable std::shared_ptr<const CardDrawing> m_drawing;
};
