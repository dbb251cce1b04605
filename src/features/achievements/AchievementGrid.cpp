#include "features/achievements/AchievementGrid.h"

#include <algorithm>
#include <cmath>

namespace AchievementGrid {

int columns(double width, double minWidth, double gap)
{
    // n columns need n * minWidth + (n - 1) * gap.
    return std::max(1, int(std::floor((width + gap) / (minWidth + gap))));
}

double columnWidth(double width, int columns, double gap)
{
    columns = std::max(columns, 1);
    return std::max(0.0, (width - (columns - 1) * gap) / columns);
}

double progressFraction(int progress, int target)
{
    if (target <= 0)
        return 1;
    return std::clamp(double(progress) / target, 0.0, 1.0);
}

QString progressText(int progress, int target)
{
    return QStringLiteral("%1 / %2").arg(std::min(progress, target)).arg(target);
}

} // namespace AchievementGrid
