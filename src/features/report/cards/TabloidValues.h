#pragma once

#include "services/WeeklyReport.h"

#include <QLocale>
#include <QString>
#include <optional>

// The rules by which the tabloid card writes its story and scales its chart.
namespace TabloidValues {

// The news story: a fixed line for a week without incidents, else up to four sentences on the
// worst day, the top trigger, the top application and the calmest day.
QString story(const WeeklyReport &report, const QLocale &locale);
// 80 points for the busiest day, never under 2.
qreal barHeight(int count, int maxCount);
// The chart's scale: the busiest day's count, never below 1.
int maxCount(const QList<DayBucket> &days);
// "PEAK: 14:37", none without a peak time.
std::optional<QString> peakChip(const WeeklyReport &report);

} // namespace TabloidValues
