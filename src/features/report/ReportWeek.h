#pragma once

#include "features/report/ReportTheme.h"

#include <QString>
#include <optional>

struct WeeklyReport;

// The report page's week navigation and theme choice, as plain rules.
namespace ReportWeek {

// How far back the page goes: about a thousand years. Beyond it a stored "reportWeeksBack" or a
// long run of clicks would leave the range of the calendar's date arithmetic.
inline constexpr int maxWeeksBack = 52'000;

// The week the page opens on: the stored number of weeks back, negated; a negative number counts as
// none and an absurd one stops at maxWeeksBack.
int initialOffset(int storedWeeksBack);
// One week earlier or later; never past this week or maxWeeksBack.
int stepBack(int offset);
int stepForward(int offset);
// Whether the page may step forward from `offset` (only towards this week).
bool canStepForward(int offset);

// "This week", "Last week", otherwise the report's range text.
QString label(int offset, const WeeklyReport &report);

// The theme a stored "reportTheme" names; midnight for nothing stored or a text that names no theme.
ReportTheme themeFromStored(const std::optional<QString> &stored);

} // namespace ReportWeek
