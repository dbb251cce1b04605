#pragma once

#include <QList>
#include <QString>
#include <optional>

// The figures the overview's ranking and danger-zone cards draw, apart from the widgets.
namespace OverviewCardValues {

// The largest count, 1 when there is none, so it can always divide.
int largest(const QList<int> &counts);

// "66%": a share of all incidents, truncated, of at least one incident.
QString percentText(int count, int total);

// The earliest hour with the highest count; none while every hour is empty.
std::optional<int> peakHour(const QList<int> &hours);

// "09:00 – 10:00"; the hour after 23 is 00.
QString peakRange(int hour);

inline constexpr double hourStripHeight = 62;

// Bar height of one hour: a 3 pt stub when empty, otherwise its share of the full height, at least 8.
double hourBarHeight(int count, int scale);

enum class HourTone
{
    peak,
    hovered,
    empty,
    filled
};
HourTone hourTone(int hour, int count, std::optional<int> peak, std::optional<int> hovered);

// "09:00 · 1 incident", "14:00 · 0 incidents".
QString hourTooltip(int hour, int count);

} // namespace OverviewCardValues
