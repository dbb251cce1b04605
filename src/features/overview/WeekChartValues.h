#pragma once

#include <QList>
#include <QString>
#include <optional>

// The week chart's figures and texts, apart from the widget: one entry per day, Monday first.
namespace WeekChartValues {

struct Summary
{
    int total = 0;
    int activeDays = 1;  // days not in the future, at least 1; today counts
    double average = 0;  // total / activeDays
    int worstIndex = -1; // the first day with the highest count; -1 only for no days
};
Summary summarize(const QList<int> &counts, const QList<bool> &isFuture);

enum class BarTone
{
    future,
    hovered,
    dimmed,
    today,
    normal
};
BarTone barTone(bool isFuture, bool isToday, bool isHoveredDay, bool anyHovered);
// Opacity of a bar's count label: faded while another day is hovered.
double countLabelOpacity(bool isHoveredDay, bool anyHovered);

struct TopTrigger
{
    QString emoji;
    QString name;
};
// "1 Grumblix moment"; every other count is plural.
QString countFact(int count);
// The present facts of a day joined by "  ·  ": the count, then the peak time, then the top trigger.
QString dayFacts(int count, const std::optional<QString> &peak, const std::optional<TopTrigger> &top);

// Paging: back without a lower bound, forward no further than this week (offset 0).
inline int pageBack(int offset)
{
    return offset - 1;
}
inline bool canPageForward(int offset)
{
    return offset < 0;
}
inline int pageForward(int offset)
{
    return canPageForward(offset) ? offset + 1 : offset;
}
// "This week", "Last week", else the week's range label.
QString weekTitle(int offset, const QString &rangeLabel);

// The day band under x within a plot of `bands` equal bands; -1 outside the plot.
int bandAt(double x, double plotWidth, int bands);

// Value-axis marks from 0: a step of 1, 2 or 5 times a power of ten, at most five steps; the last
// mark is the top of the axis and is at least the largest count (and at least 1).
QList<int> axisMarks(int largest);

} // namespace WeekChartValues
