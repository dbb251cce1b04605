#pragma once

#include "features/overview/WeekChartData.h"
#include "ui/BrutalCard.h"

class GhostButton;
class QStackedWidget;
class ThemedLabel;
class WeekChartPlot;

// One calendar week as seven bars with its total, paging to earlier weeks, and the verdict and
// facts of the day under the pointer. Shows whatever week its offset names, whatever the scope.
class WeekChartCard : public BrutalCard
{
    Q_OBJECT
public:
    explicit WeekChartCard(QWidget *parent = nullptr);

    // New statistics (after a log, a trigger change or a new day); keeps the offset and the hover.
    void setData(const Analytics &analytics, const QList<Trigger> &triggers);

    int weekOffset() const { return m_offset; }
    void setWeekOffset(int offset);
    void pageBack();
    void pageForward();

    const WeekChartData &week() const { return m_week; }
    QString hovered() const { return m_hovered; }
    void setHovered(const QString &dayName);

    // What the header and footer show, for tests.
    QString weekLabel() const;
    QString totalText() const;
    bool canPageForward() const;
    QString footerLine() const;
    QString footerFacts() const;
    WeekChartPlot *plot() const { return m_plot; }

Q_SIGNALS:
    void weekOffsetChanged(int offset);

private:
    void rebuild();
    void updateFooter();

    Analytics m_analytics;
    QList<Trigger> m_triggers;
    int m_offset = 0;
    QString m_hovered;
    WeekChartData m_week;

    GhostButton *m_back;
    GhostButton *m_forward;
    ThemedLabel *m_label;
    ThemedLabel *m_total;
    WeekChartPlot *m_plot;
    QStackedWidget *m_footer;
    ThemedLabel *m_hint;
    ThemedLabel *m_dayLine;
    ThemedLabel *m_dayFacts;
};
