#pragma once

#include "services/WeeklyReport.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

// The rules by which the poster card picks its texts, bar heights and colours.
namespace PosterValues {

// The change against last week: none for no change or no earlier week to compare.
struct Chip
{
    bool rising = false; // accent when rising, good when falling
    QString text;        // "↑ 12% from last week"
    bool operator==(const Chip &) const = default;
};
std::optional<Chip> changeChip(std::optional<int> changePercent);

// The tallest count of the week, never below 1.
int maxCount(const QList<DayBucket> &days);
// 90 points for the busiest day, in proportion below it, never under 4.
qreal barHeight(int count, int maxCount);

enum class BarFill
{
    Worst,  // accent
    Future, // barIdle at a quarter of its opacity
    Idle,   // barIdle
};
BarFill barFill(const WeeklyReport &report, const DayBucket &day);
bool isWorst(const WeeklyReport &report, const DayBucket &day);
// Empty below one incident (the row keeps its height).
QString countLabel(int count);

struct Tile
{
    QString label;
    QString value;
    std::optional<QString> note;
    bool operator==(const Tile &) const = default;
};
// Worst day, calmest day, peak grumblix, top offender, most dangerous app, in that order.
QList<Tile> tiles(const WeeklyReport &report, const QLocale &locale);

// Positions 0, 20, 40, … up to and including `extent` of the blueprint grid's lines.
QList<qreal> gridLines(qreal extent);

} // namespace PosterValues
