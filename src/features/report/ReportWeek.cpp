#include "features/report/ReportWeek.h"

#include "services/WeeklyReport.h"

#include <algorithm>

namespace ReportWeek {

int initialOffset(int storedWeeksBack)
{
    return -std::clamp(storedWeeksBack, 0, maxWeeksBack);
}

int stepBack(int offset)
{
    return std::max(offset, -maxWeeksBack + 1) - 1;
}

int stepForward(int offset)
{
    return std::min(offset, -1) + 1;
}

bool canStepForward(int offset)
{
    return offset < 0;
}

QString label(int offset, const WeeklyReport &report)
{
    if (offset == 0)
        return QStringLiteral("This week");
    if (offset == -1)
        return QStringLiteral("Last week");
    return report.rangeText();
}

ReportTheme themeFromStored(const std::optional<QString> &stored)
{
    if (stored)
        if (const auto theme = ReportThemes::fromRawValue(*stored))
            return *theme;
    return ReportTheme::midnight;
}

} // namespace ReportWeek
