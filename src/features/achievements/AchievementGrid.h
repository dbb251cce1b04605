#pragma once

#include <QString>

// The achievements page's grid: as many columns as fit at a minimum width, tiles stretched to fill.
namespace AchievementGrid {

inline constexpr double minColumnWidth = 230;
inline constexpr double spacing = 20;

int columns(double width, double minWidth = minColumnWidth, double gap = spacing);
double columnWidth(double width, int columns, double gap = spacing);

// Share of the target reached, 0 to 1.
double progressFraction(int progress, int target);
// "3 / 10", never more than the target.
QString progressText(int progress, int target);

} // namespace AchievementGrid
